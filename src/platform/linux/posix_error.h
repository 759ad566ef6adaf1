#pragma once
#include <string>

namespace keldo {

// "<what>: <strerror text> (errno N)", the form every diagnostic of this
// layer takes so that the platform's own code and text survive.
std::string ErrnoText(const std::string& what, int err);

// Throws RunTimeError carrying `err` and ErrnoText(what, err).
[[noreturn]] void ThrowErrno(const std::string& what, int err);

}  // namespace keldo
