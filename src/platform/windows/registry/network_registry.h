#pragma once
#include "base/network_registry.h"

namespace keldo {

// The per-user registry through RegOpenKeyExA, RegQueryValueExA and
// RegCloseKey, one call each. The caller owns every key it opens.
class AnsiRegistry final : public NetworkRegistry {
 public:
  RegistryStatus OpenKey(const std::string& subKey, RegistryKey* key) override;
  RegistryStatus QueryValue(RegistryKey key, const std::string& valueName, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) override;
  RegistryStatus CloseKey(RegistryKey key) override;
  Text FromAnsi(const std::string& bytes) override;
};

}  // namespace keldo
