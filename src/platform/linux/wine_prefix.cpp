#include "platform/linux/wine_prefix.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/linux/posix_error.h"

namespace keldo {

namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  const int err = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
  if (found == nullptr) ThrowErrno("Cannot find the home folder", err != 0 ? err : ENOENT);
  return entry.pw_dir;
}

}  // namespace

WinePrefix WinePrefix::FromEnvironment() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
    return WinePrefix{prefix};
  }
  return WinePrefix{HomeFolder() + "/.wine"};
}

}  // namespace keldo
