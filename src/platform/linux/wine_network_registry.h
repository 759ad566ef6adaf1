#pragma once
#include <map>

#include "local/network_registry.h"
#include "platform/linux/reg_file.h"

// The ANSI registry calls over the prefix's user.reg. An open key holds a
// copy of its values, so a rewrite of the file between the size query and
// the data query behaves like a value that changed in the registry.
class WineNetworkRegistry : public NetworkRegistry {
 public:
  explicit WineNetworkRegistry(RegFile& userReg) : userReg_(userReg) {}
  RegistryStatus OpenKey(const std::string& subKey, RegistryKey* key) override;
  RegistryStatus QueryValue(RegistryKey key, const std::string& valueName, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) override;
  RegistryStatus CloseKey(RegistryKey key) override;
  Text FromAnsi(const std::string& bytes) override;

 private:
  RegFile& userReg_;
  std::map<RegistryKey, RegValues> open_;
  RegistryKey next_ = 1;
};
