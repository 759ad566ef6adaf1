// keldo-check-report with its website taken from the command line instead
// of the build setting, so that one build can be pointed at every fault of
// the stand-in website:  keldo-check-report-at WEBSITE [report options]
// Everything else (platform, limits, output) is the shipped report's.
#include <iostream>

#include "report/report.h"
#include "report/report_edge.h"
#include "report/report_terminal.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "Usage: keldo-check-report-at WEBSITE [keldo-check-report options]\n";
    return keldo::kExitUsage;
  }
  keldo::IgnoreBrokenPipeSignal();
  return keldo::AtTheEdge([&] {
    const std::vector<std::string> args(argv + 2, argv + argc);
    return keldo::RunReport(args, keldo::MakePlatformServices, keldo::FromUtf8(argv[1]), std::cout,
                            std::cerr,
                            {keldo::StandardErrorIsTerminal(), keldo::StandardErrorColumns()});
  });
}
