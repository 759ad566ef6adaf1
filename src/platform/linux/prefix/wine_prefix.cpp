#include "platform/linux/prefix/wine_prefix.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "base/errors.h"
#include "platform/linux/posix_error.h"

namespace keldo {

namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  const int err = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
  if (found == nullptr) ThrowErrno("Finding the home folder", err != 0 ? err : ENOENT);
  return entry.pw_dir;
}

constexpr const char* kSetPrefix = " (set WINEPREFIX to the prefix the product runs in)";

// A prefix that is not there would otherwise surface later as a failure to
// list its drives, which does not tell the user what to set.
void RequireFolder(const std::string& root) {
  struct stat st {};
  if (::stat(root.c_str(), &st) != 0) {
    const int err = errno;
    if (err == ENOENT) throw RunTimeError(err, "No Wine prefix at " + root + kSetPrefix);
    ThrowErrno("Using the Wine prefix " + root, err);
  }
  if (!S_ISDIR(st.st_mode)) {
    throw RunTimeError(ENOTDIR, "The Wine prefix " + root + " is not a folder" + kSetPrefix);
  }
  if (::faccessat(AT_FDCWD, root.c_str(), X_OK, AT_EACCESS) != 0) {
    ThrowErrno("Using the Wine prefix " + root, errno);
  }
}

}  // namespace

WinePrefix WinePrefix::FromEnvironment() {
  WinePrefix prefix;
  if (const char* named = std::getenv("WINEPREFIX"); named != nullptr && *named != '\0') {
    prefix.root = named;
  } else {
    prefix.root = HomeFolder() + "/.wine";
  }
  RequireFolder(prefix.root);
  return prefix;
}

}  // namespace keldo
