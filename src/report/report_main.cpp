#include <iostream>

#include "app/main_check.h"
#include "report/report.h"
#include "report/report_edge.h"
#include "report/report_terminal.h"

int main(int argc, char** argv) {
  keldo::IgnoreBrokenPipeSignal();
  return keldo::AtTheEdge([&] {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return keldo::RunReport(args, keldo::MakePlatformServices, keldo::ConfiguredWebsite(),
                            std::cout, std::cerr,
                            {keldo::StandardErrorIsTerminal(), keldo::StandardErrorColumns()});
  });
}
