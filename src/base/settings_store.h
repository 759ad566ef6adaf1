#pragma once
#include "base/text.h"

namespace keldo {

// The platform's per-user application settings, read only.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or the empty text when application, section or key is
  // missing. Never fails.
  virtual Text GetSetting(const Text& application, const Text& section, const Text& key) = 0;
};

}  // namespace keldo
