#pragma once
// A run-time error: a failure that the procedure raising it does not trap.
// It travels up to the Start handler, which shows its text.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "base/text.h"

namespace keldo {

class RunTimeError : public std::runtime_error {
 public:
  // `code` is the platform's own error code (errno, GetLastError, a WinHTTP
  // code); `what` already carries the platform's text for it.
  RunTimeError(std::int64_t code, const std::string& what)
      : std::runtime_error(what), code_(code) {}
  std::int64_t code() const { return code_; }

 private:
  std::int64_t code_;
};

// "<what> failed: <platform text> (<code>)": the one form in which both
// platform layers word a failure of the platform, its own text and code kept.
// `what` names the step that failed: "Opening " and a path, for example.
inline std::string PlatformFailureText(const std::string& what, const std::string& platformText,
                                       std::int64_t code) {
  return what + " failed: " + platformText + " (" + std::to_string(code) + ")";
}

// Thrown by CloseProgram after the view has ended the program, so that no
// statement of the interrupted check run executes afterwards.
struct ProgramEnded {};

}  // namespace keldo
