#include <iostream>

#include "report/report.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return RunReport(args, MakePlatformServices, ConfiguredWebsite(), std::cout, std::cerr);
}
