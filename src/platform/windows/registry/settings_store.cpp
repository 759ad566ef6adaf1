#include "platform/windows/registry/settings_store.h"

#include <windows.h>

#include "base/settings_key.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

namespace keldo {

Text RegistrySettings::GetSetting(const Text& application, const Text& section, const Text& key) {
  // A missing application or section must not open the parent key instead.
  if (application.empty() || section.empty()) return Text();
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(SettingsKeyPath(application, section)).c_str(), 0,
                    KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return Text();
  }
  const RegistryKeyHandle sectionKey(opened);
  const std::wstring name = Wide(key);
  // Only text reads as a setting; any other type reads as missing, like an
  // absent key.
  constexpr DWORD kTextOnly = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  DWORD size = 0;
  if (RegGetValueW(sectionKey.get(), nullptr, name.c_str(), kTextOnly, nullptr, nullptr, &size) !=
          ERROR_SUCCESS ||
      size > kMaxSettingBytes) {
    return Text();
  }
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(sectionKey.get(), nullptr, name.c_str(), kTextOnly, nullptr, value.data(),
                   &size) != ERROR_SUCCESS) {
    return Text();
  }
  // RegGetValueW terminates the text; the size counts that NUL.
  value.resize(wcsnlen(value.c_str(), value.size()));
  return FromWide(value);
}

}  // namespace keldo
