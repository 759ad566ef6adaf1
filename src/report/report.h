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

// `args` without the program name. Returns the exit code. `errIsTerminal`:
// `err` is a terminal, where a status line shows the check run's progress.
int RunReport(const std::vector<std::string>& args, const ServicesFactory& makeServices,
              const Text& website, std::ostream& out, std::ostream& err,
              bool errIsTerminal = false);

}  // namespace keldo
