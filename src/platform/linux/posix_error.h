#pragma once
#include <string>

namespace keldo {

// PlatformFailureText with the strerror text of `err`: "<what> failed: <text> (<err>)".
std::string ErrnoText(const std::string& what, int err);

// Throws RunTimeError carrying `err` and ErrnoText(what, err).
[[noreturn]] void ThrowErrno(const std::string& what, int err);

}  // namespace keldo
