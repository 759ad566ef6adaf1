#include "driver/product_settings.h"

#include <windows.h>

#include "platform/windows/unique_handle.h"

namespace keldo {

namespace {

constexpr const wchar_t* kSettingsKey = L"Software\\VB and VBA Program Settings\\Keldo6\\ThisPC";
// The suite's settings are short; a longer one is not what it laid out.
constexpr DWORD kMaxSettingChars = 256;

}  // namespace

bool WriteProductSettings(const SettingValues& values) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &opened, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const RegistryKeyHandle key(opened);
  for (const auto& [name, text] : values) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()), bytes) != ERROR_SUCCESS) {
      return false;
    }
  }
  return true;
}

bool ReadProductSettings(const SettingValues& names, SettingValues& values) {
  values.clear();
  for (const auto& entry : names) {
    wchar_t text[kMaxSettingChars];
    DWORD bytes = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, entry.first.c_str(), RRF_RT_REG_SZ, nullptr,
                     text, &bytes) != ERROR_SUCCESS) {
      return false;
    }
    values.emplace_back(entry.first, std::wstring(text));
  }
  return true;
}

}  // namespace keldo
