#pragma once
// wchar_t is 16 bits on Windows, so Text and the wide API strings hold the
// same code units; only the type differs.
#include <windows.h>

#include <string>

#include "base/text.h"

namespace keldo {

inline std::wstring Wide(TextView text) { return std::wstring(text.begin(), text.end()); }
inline Text FromWide(const wchar_t* text, std::size_t length) {
  return Text(reinterpret_cast<const char16_t*>(text), length);
}
inline Text FromWide(const std::wstring& text) { return FromWide(text.data(), text.size()); }

// Bytes in the system's ANSI code page (CP_ACP) to wide text.
Text FromAnsiCodePage(const std::string& bytes);

}  // namespace keldo
