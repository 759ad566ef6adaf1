#pragma once
#include "base/settings_store.h"

namespace keldo {

// The platform runtime's per-user settings: one string value per key under
// HKEY_CURRENT_USER\SettingsKeyPath (base/settings_key.h).
class RegistrySettings final : public SettingsStore {
 public:
  Text GetSetting(const Text& application, const Text& section, const Text& key) override;
};

}  // namespace keldo
