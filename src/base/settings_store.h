#pragma once
#include "base/text.h"

namespace keldo {

// The platform's per-user application settings, read only.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or the empty text when application, section or key is
  // missing. Throws RunTimeError, with the platform's code and text, when
  // the store is there but cannot be read: a value that could not be read
  // is not a missing one.
  virtual Text GetSetting(const Text& application, const Text& section, const Text& key) = 0;
};

}  // namespace keldo
