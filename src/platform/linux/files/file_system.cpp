#include "platform/linux/files/file_system.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "platform/linux/files/drive_type.h"
#include "platform/linux/posix_error.h"
#include "platform/linux/unique_dir.h"

namespace keldo {

namespace {

constexpr char16_t kDrivesKey[] = u"Software\\Wine\\Drives";

}  // namespace

WineFileSystem::WineFileSystem(const WinePaths& paths, RegFile& systemReg)
    : paths_(paths), systemReg_(systemReg) {
  systemReg_.Want(kDrivesKey);
}

std::vector<DriveEntry> WineFileSystem::Drives() {
  const std::string folder = paths_.Prefix().DosDevices();
  const UniqueDir dir(::opendir(folder.c_str()));
  if (!dir) ThrowErrno("Listing the drives in " + folder, errno);

  std::vector<std::pair<char, std::string>> found;  // upper-case letter, entry name
  errno = 0;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    // "d:" is a drive; Wine's "d::" device entries are not.
    if (name.size() == 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) {
      const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
      found.emplace_back(letter, name);
    }
    errno = 0;
  }
  if (errno != 0) ThrowErrno("Listing the drives in " + folder, errno);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; }),
              found.end());

  std::vector<DriveEntry> drives;
  for (const auto& [letter, name] : found) {
    std::int32_t type = kDriveUnknown;
    const RegValue* configured =
        systemReg_.Value(kDrivesKey, Text{static_cast<char16_t>(letter), u':'});
    if (const auto named =
            configured ? DriveTypeFromWineName(RegText(*configured)) : std::nullopt) {
      type = *named;
    } else {
      type = DriveTypeOfMount(folder + "/" + name);
    }
    drives.push_back(DriveEntry{Text(1, static_cast<char16_t>(letter)), type});
  }
  return drives;
}

bool WineFileSystem::FileExists(const Text& path) {
  const auto unixPath = paths_.Resolve(path);
  struct stat st {};
  return unixPath && ::stat(unixPath->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace keldo
