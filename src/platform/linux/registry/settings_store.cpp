#include "platform/linux/registry/settings_store.h"

namespace keldo {

namespace {

// A setting is a short text; anything larger is not one of ours and reads
// as missing, as the Windows layer reads it (its UTF-16 bytes, NUL included).
constexpr std::size_t kMaxSettingBytes = 64 * 1024;

}  // namespace

Text WineSettingsStore::GetSetting(const Text& application, const Text& section, const Text& key) {
  const Text path = u"Software\\VB and VBA Program Settings\\" + application + u"\\" + section;
  const RegValue* value = userReg_.Value(path, key);
  if (value == nullptr || value->data.size() > kMaxSettingBytes) return Text();
  return RegText(*value);
}

}  // namespace keldo
