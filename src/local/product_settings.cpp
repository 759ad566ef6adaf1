#include "app/main_check.h"

namespace keldo {

Text MainCheck::ReadSetting(const Text& key) {
  return ports_.settings.GetSetting(u"Keldo6", u"ThisPC", key);
}

Text MainCheck::GetInstallType() {
  return ReadSetting(u"Network") == u"Yes" ? u"network" : u"single";
}

}  // namespace keldo
