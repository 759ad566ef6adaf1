#include "platform/linux/registry/settings_store.h"

#include "base/settings_key.h"

namespace keldo {

Text WineSettingsStore::GetSetting(const Text& application, const Text& section, const Text& key) {
  const RegValue* value = userReg_.Value(SettingsKeyPath(application, section), key);
  if (value == nullptr || value->data.size() > kMaxSettingBytes) return Text();
  return RegText(*value);
}

}  // namespace keldo
