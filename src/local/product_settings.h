#pragma once
// The product's own settings on this PC, as its installer left them.
#include "base/settings_store.h"
#include "base/text.h"

namespace keldo {

// One value of the product's settings section; the empty text when the
// value is missing or unreadable.
Text ReadSetting(SettingsStore& settings, const Text& key);

// "network" for a multi-user installation, "single" otherwise.
Text GetInstallType(SettingsStore& settings);

}  // namespace keldo
