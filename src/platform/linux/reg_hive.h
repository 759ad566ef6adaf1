#pragma once
// One Wine registry file (user.reg, system.reg) in memory: keys and values
// as the registry holds them, looked up case-insensitively.
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "app/text.h"

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

class RegHive {
 public:
  // `key` is a path such as Software\Wine\Drives; empty is the hive's root.
  void AddKey(const Text& key);
  void SetValue(const Text& key, const Text& name, RegValue value);
  // Nothing when the key is absent; a key that only has subkeys has no values.
  const RegValues* Key(TextView key) const;
  const RegValue* Value(TextView key, TextView name) const;

 private:
  std::map<Text, RegValues> keys_;  // by folded key path
};

// Parses the text of a file in Wine's registry format. A file without the
// format's first line is no registry at all and gives an empty hive; a line
// that cannot be understood is passed over, as Wine passes it over.
RegHive ParseRegFile(std::string_view content);

// A string value's text up to its first NUL; the empty text for any value
// that is not of a string type.
Text RegText(const RegValue& value);
