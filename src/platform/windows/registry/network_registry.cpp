#include "platform/windows/registry/network_registry.h"

#include <windows.h>

#include "platform/windows/text/wide_text.h"

namespace keldo {

namespace {

HKEY AsHkey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

RegistryStatus AnsiRegistry::OpenKey(const std::string& subKey, RegistryKey* key) {
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &opened);
  *key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
  return status;
}

RegistryStatus AnsiRegistry::QueryValue(RegistryKey key, const std::string& valueName,
                                        std::uint32_t* type, unsigned char* data,
                                        std::uint32_t* size) {
  DWORD valueType = 0;
  DWORD byteCount = *size;
  const LSTATUS status =
      RegQueryValueExA(AsHkey(key), valueName.c_str(), nullptr, &valueType, data, &byteCount);
  if (type) *type = valueType;
  *size = byteCount;
  return status;
}

RegistryStatus AnsiRegistry::CloseKey(RegistryKey key) { return RegCloseKey(AsHkey(key)); }

Text AnsiRegistry::FromAnsi(const std::string& bytes) { return FromAnsiCodePage(bytes); }

}  // namespace keldo
