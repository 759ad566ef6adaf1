#pragma once
#include "base/settings_store.h"

namespace keldo {

// The platform runtime's per-user settings: one string value per key under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>.
class RegistrySettings final : public SettingsStore {
 public:
  Text GetSetting(const Text& application, const Text& section, const Text& key) override;
};

// The registry key that holds one section's settings, below HKEY_CURRENT_USER.
Text SettingsKeyPath(const Text& application, const Text& section);

}  // namespace keldo
