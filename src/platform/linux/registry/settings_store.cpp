#include "platform/linux/registry/settings_store.h"

#include "base/settings_key.h"
#include "platform/linux/posix_error.h"

namespace keldo {

Text WineSettingsStore::GetSetting(const Text& application, const Text& section, const Text& key) {
  const RegValue* value = userReg_.Value(SettingsKeyPath(application, section), key);
  // Settings that could not be read are not missing ones: defaults shown
  // for them would contradict the installation.
  if (const int error = userReg_.ReadError(); error != 0) {
    ThrowErrno("Reading " + userReg_.Path(), error);
  }
  if (value == nullptr || value->data.size() > kMaxSettingBytes) return Text();
  return RegText(*value);
}

}  // namespace keldo
