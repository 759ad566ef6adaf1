#include "platform/windows/registry/settings_store.h"

#include <windows.h>

#include "base/settings_key.h"
#include "platform/windows/text/wide_text.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/win_error.h"

namespace keldo {

namespace {

// Only a key or value that is not there reads as a missing setting; a store
// that is there but cannot be read (access denied, out of memory, ...) is a
// failure, never default settings.
bool NotThere(LSTATUS status) {
  return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

[[noreturn]] void ThrowUnread(const std::string& what, const Text& path, LSTATUS status) {
  ThrowError(what + " HKEY_CURRENT_USER\\" + ToUtf8(path), static_cast<DWORD>(status));
}

}  // namespace

Text RegistrySettings::GetSetting(const Text& application, const Text& section, const Text& key) {
  // A missing application or section must not open the parent key instead.
  if (application.empty() || section.empty()) return Text();
  HKEY opened = nullptr;
  const Text path = SettingsKeyPath(application, section);
  const LSTATUS open =
      RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_QUERY_VALUE, &opened);
  if (NotThere(open)) return Text();
  if (open != ERROR_SUCCESS) ThrowUnread("Opening", path, open);
  const RegistryKeyHandle sectionKey(opened);
  const std::wstring name = Wide(key);
  // Only text reads as a setting; any other type reads as missing, like an
  // absent key.
  constexpr DWORD kTextOnly = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  DWORD size = 0;
  const LSTATUS sized =
      RegGetValueW(sectionKey.get(), nullptr, name.c_str(), kTextOnly, nullptr, nullptr, &size);
  if (NotThere(sized) || sized == ERROR_UNSUPPORTED_TYPE) return Text();
  if (sized != ERROR_SUCCESS) ThrowUnread("Reading " + ToUtf8(key) + " of", path, sized);
  if (size > kMaxSettingBytes) return Text();
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  const LSTATUS read = RegGetValueW(sectionKey.get(), nullptr, name.c_str(), kTextOnly, nullptr,
                                    value.data(), &size);
  if (NotThere(read) || read == ERROR_UNSUPPORTED_TYPE) return Text();
  if (read != ERROR_SUCCESS) ThrowUnread("Reading " + ToUtf8(key) + " of", path, read);
  // RegGetValueW terminates the text; the size counts that NUL.
  value.resize(wcsnlen(value.c_str(), value.size()));
  return FromWide(value);
}

}  // namespace keldo
