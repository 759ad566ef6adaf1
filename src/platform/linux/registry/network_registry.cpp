#include "platform/linux/registry/network_registry.h"

#include <cstring>

#include "platform/linux/text/name_fold.h"

namespace keldo {

namespace {

// Windows' own status codes, as RegOpenKeyExA and RegQueryValueExA give them.
constexpr RegistryStatus kErrorFileNotFound = 2;
constexpr RegistryStatus kErrorInvalidHandle = 6;
constexpr RegistryStatus kErrorInvalidParameter = 87;
constexpr RegistryStatus kErrorMoreData = 234;

// The value's bytes as the ANSI call hands them out: string types are
// converted from UTF-16 (their NUL included), every other type is raw.
std::string AnsiData(const RegValue& value, AnsiCodePage& codePage) {
  if (value.type != kRegSz && value.type != kRegExpandSz && value.type != kRegMultiSz) {
    return std::string(value.data.begin(), value.data.end());
  }
  Text units;
  for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
    units.push_back(static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8)));
  }
  return codePage.FromText(units);
}

}  // namespace

WineNetworkRegistry::WineNetworkRegistry(RegFile& userReg, AnsiCodePage& codePage)
    : userReg_(userReg), codePage_(codePage) {
  // The mappings a check run reads, so that one pass over the file finds them all.
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) userReg_.Want(Text(u"Network\\") + letter);
}

RegistryStatus WineNetworkRegistry::OpenKey(const std::string& subKey, RegistryKey* key) {
  if (key == nullptr) return kErrorInvalidParameter;
  const RegValues* values = userReg_.Key(codePage_.ToText(subKey));
  if (values == nullptr) return kErrorFileNotFound;
  *key = next_++;
  open_.emplace(*key, *values);
  return kRegistrySuccess;
}

RegistryStatus WineNetworkRegistry::QueryValue(RegistryKey key, const std::string& valueName,
                                               std::uint32_t* type, unsigned char* data,
                                               std::uint32_t* size) {
  const auto handle = open_.find(key);
  if (handle == open_.end()) return kErrorInvalidHandle;
  const auto value = handle->second.find(FoldName(codePage_.ToText(valueName)));
  if (value == handle->second.end()) return kErrorFileNotFound;
  const std::string bytes = AnsiData(value->second, codePage_);
  const auto needed = static_cast<std::uint32_t>(bytes.size());
  if (type != nullptr) *type = value->second.type;
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return kRegistrySuccess;
  }
  if (size == nullptr) return kErrorInvalidParameter;
  if (*size < needed) {
    *size = needed;
    return kErrorMoreData;
  }
  std::memcpy(data, bytes.data(), bytes.size());
  *size = needed;
  return kRegistrySuccess;
}

RegistryStatus WineNetworkRegistry::CloseKey(RegistryKey key) {
  return open_.erase(key) == 1 ? kRegistrySuccess : kErrorInvalidHandle;
}

Text WineNetworkRegistry::FromAnsi(const std::string& bytes) { return codePage_.ToText(bytes); }

}  // namespace keldo
