#include <iostream>

#include "app/main_check.h"
#include "report/report.h"
#include "report/report_terminal.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  keldo::IgnoreBrokenPipeSignal();
  return keldo::RunReport(args, keldo::MakePlatformServices, keldo::ConfiguredWebsite(), std::cout,
                          std::cerr,
                          {keldo::StandardErrorIsTerminal(), keldo::StandardErrorColumns()});
}
