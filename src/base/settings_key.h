#pragma once
// Where the platform keeps an application's per-user settings, and how large
// one may be: the contract of SettingsStore that both platform stores keep,
// the Windows registry and the Wine prefix's user.reg alike.
#include <cstddef>

#include "base/text.h"

namespace keldo {

// The key of one section's settings, below HKEY_CURRENT_USER.
inline Text SettingsKeyPath(const Text& application, const Text& section) {
  return u"Software\\VB and VBA Program Settings\\" + application + u"\\" + section;
}

// A setting is a short text; one whose UTF-16 bytes, its NUL included, pass
// this is not one of ours and reads as missing.
inline constexpr std::size_t kMaxSettingBytes = 64 * 1024;

}  // namespace keldo
