#pragma once
#include <map>

#include "base/network_registry.h"
#include "platform/linux/registry/reg_file.h"
#include "platform/linux/text/ansi_code_page.h"

namespace keldo {

// The ANSI registry calls over the prefix's user.reg, through the prefix's
// ANSI code page. An open key holds a copy of its values, so a rewrite of
// the file between the size query and the data query behaves like a value
// that changed in the registry.
class WineNetworkRegistry : public NetworkRegistry {
 public:
  // Keeps the remembered mapping of every drive letter from `userReg`.
  WineNetworkRegistry(RegFile& userReg, AnsiCodePage& codePage);
  RegistryStatus OpenKey(const std::string& subKey, RegistryKey* key) override;
  RegistryStatus QueryValue(RegistryKey key, const std::string& valueName, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) override;
  RegistryStatus CloseKey(RegistryKey key) override;
  Text FromAnsi(const std::string& bytes) override;

 private:
  RegFile& userReg_;
  AnsiCodePage& codePage_;
  std::map<RegistryKey, RegValues> open_;
  RegistryKey next_ = 1;
};

}  // namespace keldo
