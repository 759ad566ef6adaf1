#pragma once
// Errors keep the platform's own code and its message text.
#include <windows.h>

#include <string>

#include "base/errors.h"
#include "base/text.h"

namespace keldo {

// The message text for `code`, taken from `module`'s message table (the
// system's when null), without its trailing line end; "unknown error" when
// there is none.
Text ErrorText(DWORD code, HMODULE module = nullptr);

// PlatformFailureText with the message text of `code`: "<what> failed: <text> (<code>)",
// as UTF-8, for a RunTimeError.
std::string DescribeError(const std::string& what, DWORD code, HMODULE module = nullptr);

[[noreturn]] void ThrowError(const std::string& what, DWORD code);
[[noreturn]] void ThrowLastError(const std::string& what);

}  // namespace keldo
