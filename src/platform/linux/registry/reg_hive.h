#pragma once
// The keys kept from one Wine registry file (user.reg, system.reg): their
// values as the registry holds them, looked up case-insensitively.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
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
  void EraseValue(const Text& folded, const Text& foldedName);
  // `folded` exists; its values are not kept.
  void AddPath(const Text& folded);
  // The key is a symbolic link: opening it opens the key its
  // SymbolicLinkValue names, kept here for every key that may be one.
  void MarkLink(const Text& folded);
  void SetLinkTarget(const Text& folded, std::vector<unsigned char> data);
  void EraseLinkTarget(const Text& folded);
  // Nothing when the key is absent or was not kept; a key that only has
  // subkeys has no values. Links are not followed.
  const RegValues* Key(TextView key) const;
  const RegValue* Value(TextView key, TextView name) const;

  // The key that opening `key` opens, name by name as Wine opens it,
  // following every link on the way; nothing when a name on the way is
  // absent or a link leads nowhere, out of this file (`root` is the file's
  // place in the registry, such as User\S-1-5-21-0-0-0-1000), or too deep.
  // `more`, when given, receives the paths a link led to, which must be kept
  // for the answer to be known.
  std::optional<Text> Resolve(TextView key, TextView root, RegKeySet* more) const;

 private:
  std::optional<Text> Walk(Text at, const std::vector<TextView>& parts, std::size_t from,
                           TextView root, int& links, RegKeySet* more) const;
  // `rest` is what the path asked for goes on with after `key`.
  std::optional<Text> Follow(const Text& key, TextView rest, TextView root, int& links,
                             RegKeySet* more) const;

  bool Exists(const Text& folded) const;

  std::map<Text, RegValues> keys_;  // by folded key path
  std::set<Text, std::less<>> paths_;
  std::set<Text, std::less<>> links_;
  std::map<Text, std::vector<unsigned char>> linkTargets_;
};

// The names of a key path; a run of backslashes separates two names, and
// backslashes at either end separate none.
std::vector<TextView> RegPathNames(TextView path);
// The names joined as Wine keeps them, with one backslash between two.
Text RegPath(const std::vector<TextView>& names, std::size_t from = 0);

// A string value's text up to its first NUL; the empty text for any value
// that is not of a string type.
Text RegText(const RegValue& value);

}  // namespace keldo
