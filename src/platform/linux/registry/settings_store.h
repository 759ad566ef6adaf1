#pragma once
#include "base/settings_store.h"
#include "platform/linux/registry/reg_file.h"

namespace keldo {

// The settings store of the Windows runtime, read from the prefix's
// user.reg under SettingsKeyPath (base/settings_key.h). A user.reg that is
// there but cannot be read throws RunTimeError with errno's text.
class WineSettingsStore : public SettingsStore {
 public:
  explicit WineSettingsStore(RegFile& userReg) : userReg_(userReg) {}
  Text GetSetting(const Text& application, const Text& section, const Text& key) override;

 private:
  RegFile& userReg_;
};

}  // namespace keldo
