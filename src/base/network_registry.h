#pragma once
// The per-user registry through its ANSI calls, reduced to what reading a
// remembered network mapping needs. The Windows layer maps each call onto
// RegOpenKeyExA / RegQueryValueExA / RegCloseKey one for one, so statuses
// are the platform's (0 is success) and sizes count bytes.
#include <cstdint>
#include <string>

#include "base/text.h"

namespace keldo {

using RegistryKey = std::uintptr_t;
using RegistryStatus = std::int32_t;
inline constexpr RegistryStatus kRegistrySuccess = 0;

class NetworkRegistry {
 public:
  virtual ~NetworkRegistry() = default;
  // Opens HKEY_CURRENT_USER\<subKey> for KEY_READ. `subKey` is ANSI.
  virtual RegistryStatus OpenKey(const std::string& subKey, RegistryKey* key) = 0;
  // RegQueryValueExA: with `data` null, stores the value's size in bytes
  // (a text counts its terminating NUL) in `*size`; otherwise fills at most
  // `*size` bytes of `data` and writes back the count.
  virtual RegistryStatus QueryValue(RegistryKey key, const std::string& valueName,
                                    std::uint32_t* type, unsigned char* data,
                                    std::uint32_t* size) = 0;
  virtual RegistryStatus CloseKey(RegistryKey key) = 0;
  // The system's ANSI code page, bytes to wide text.
  virtual Text FromAnsi(const std::string& bytes) = 0;
};

}  // namespace keldo
