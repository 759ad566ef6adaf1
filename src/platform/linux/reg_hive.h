#pragma once
// The keys kept from one Wine registry file (user.reg, system.reg): their
// values as the registry holds them, looked up case-insensitively.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "base/text.h"

namespace keldo {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

struct RegValue {
  std::uint32_t type = 0;
  // The bytes as the registry stores them: texts in UTF-16LE with their
  // terminating NUL, a dword in little-endian order.
  std::vector<unsigned char> data;
};

using RegValues = std::map<Text, RegValue>;  // by folded value name; "" is @

// Key paths such as Software\Wine\Drives, folded (FoldName); empty is the
// hive's root.
using RegKeySet = std::set<Text, std::less<>>;

class RegHive {
 public:
  // `folded` exists, with no values yet.
  void AddKey(const Text& folded);
  void SetValue(const Text& folded, const Text& foldedName, RegValue value);
  // Nothing when the key is absent or was not kept; a key that only has
  // subkeys has no values.
  const RegValues* Key(TextView key) const;
  const RegValue* Value(TextView key, TextView name) const;

 private:
  std::map<Text, RegValues> keys_;  // by folded key path
};

// A string value's text up to its first NUL; the empty text for any value
// that is not of a string type.
Text RegText(const RegValue& value);

}  // namespace keldo
