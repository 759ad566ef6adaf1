#include "platform/linux/prefix/wine_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/linux/text/name_fold.h"
#include "platform/linux/unique_dir.h"

namespace keldo {

namespace {

std::vector<Text> SplitComponents(TextView path) {
  std::vector<Text> parts;
  Text part;
  for (const char16_t c : path) {
    if (c == u'\\' || c == u'/') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

}  // namespace

std::string PrefixPath::Full() const {
  std::string full = existing;
  for (const auto& name : missing) full += "/" + name;
  return full;
}

std::optional<std::string> FindEntry(const std::string& folder, const std::string& name) {
  struct stat st {};
  if (::lstat((folder + "/" + name).c_str(), &st) == 0) return name;
  const UniqueDir dir(::opendir(folder.c_str()));
  if (!dir) return std::nullopt;
  const Text wanted = FoldName(FromUtf8(name));
  while (const dirent* entry = ::readdir(dir.get())) {
    if (FoldName(FromUtf8(entry->d_name)) == wanted) return std::string(entry->d_name);
  }
  return std::nullopt;
}

std::optional<PrefixPath> WinePaths::Locate(TextView windowsPath) const {
  if (windowsPath.size() < 2 || !IsDriveLetter(windowsPath[0]) || windowsPath[1] != u':' ||
      windowsPath.find(u'\0') != TextView::npos) {
    return std::nullopt;
  }
  const std::string drive = ToUtf8(FoldName(windowsPath.substr(0, 2)));
  const auto driveEntry = FindEntry(prefix_.DosDevices(), drive);
  if (!driveEntry) return std::nullopt;

  // "." and ".." are resolved by name, as Windows resolves them, and never
  // climb above the drive's root.
  std::vector<Text> names;
  for (auto& part : SplitComponents(windowsPath.substr(2))) {
    if (part == u".") continue;
    if (part == u"..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    names.push_back(std::move(part));
  }

  PrefixPath located{prefix_.DosDevices() + "/" + *driveEntry, {}};
  for (const auto& name : names) {
    const std::string utf8 = ToUtf8(name);
    if (located.missing.empty()) {
      if (const auto entry = FindEntry(located.existing, utf8)) {
        located.existing += "/" + *entry;
        continue;
      }
    }
    located.missing.push_back(utf8);
  }
  return located;
}

std::optional<std::string> WinePaths::Resolve(TextView windowsPath) const {
  const auto located = Locate(windowsPath);
  if (!located || !located->Complete()) return std::nullopt;
  return located->existing;
}

}  // namespace keldo
