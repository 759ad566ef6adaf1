#pragma once
// keldo-check-report: one check run exactly as the Start button runs it,
// then the window's result captions, for a terminal or a script.
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/platform_services.h"

namespace keldo {

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitClosed = 2;
inline constexpr int kExitUsage = 64;

using ServicesFactory = std::function<std::unique_ptr<PlatformServices>()>;

// Where standard error leads: a terminal gets a status line with the check
// run's progress, no wider than the terminal (`columns`, 0 when unknown).
struct ErrorTerminal {
  bool isTerminal = false;
  std::size_t columns = 0;
};

// `args` without the program name. Returns the exit code.
int RunReport(const std::vector<std::string>& args, const ServicesFactory& makeServices,
              const Text& website, std::ostream& out, std::ostream& err,
              ErrorTerminal errTerminal = {});

}  // namespace keldo
