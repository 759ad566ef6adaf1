#include "local/product_settings.h"

namespace keldo {

Text ReadSetting(SettingsStore& settings, const Text& key) {
  return settings.GetSetting(u"Keldo6", u"ThisPC", key);
}

Text GetInstallType(SettingsStore& settings) {
  return ReadSetting(settings, u"Network") == u"Yes" ? u"network" : u"single";
}

}  // namespace keldo
