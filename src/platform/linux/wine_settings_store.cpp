#include "platform/linux/wine_settings_store.h"

Text WineSettingsStore::GetSetting(const Text& application, const Text& section,
                                   const Text& key) {
  const Text path = u"Software\\VB and VBA Program Settings\\" + application + u"\\" + section;
  const RegValue* value = userReg_.Current().Value(path, key);
  return value == nullptr ? Text() : RegText(*value);
}
