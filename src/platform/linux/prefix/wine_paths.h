#pragma once
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/linux/prefix/wine_prefix.h"

namespace keldo {

// A Windows path taken as far as it exists under the prefix. Each existing
// component is matched case-insensitively, as Wine matches it; the first
// component that does not exist and everything after it stay in `missing`.
struct PrefixPath {
  std::string existing;              // a Unix path under dosdevices/<letter>:
  std::vector<std::string> missing;  // UTF-8 names, in order

  bool Complete() const { return missing.empty(); }
  std::string Full() const;  // existing + "/" + missing...
};

class WinePaths {
 public:
  explicit WinePaths(WinePrefix prefix) : prefix_(std::move(prefix)) {}

  // `windowsPath` is "X:\..." with backslashes or slashes. Nothing for any
  // other form (a relative or UNC path, a component with NUL) and for a
  // letter that is not a drive of the prefix.
  std::optional<PrefixPath> Locate(TextView windowsPath) const;
  // The Unix path of an existing file or folder, or nothing.
  std::optional<std::string> Resolve(TextView windowsPath) const;

  const WinePrefix& Prefix() const { return prefix_; }

 private:
  WinePrefix prefix_;
};

// The entry of `folder` whose name equals `name` when case is ignored: the
// exact name when it exists, else the first that folds the same. Nothing
// when there is none or the folder cannot be read.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& name);

}  // namespace keldo
