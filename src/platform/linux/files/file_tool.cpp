#include "platform/linux/files/file_tool.h"

#include <sys/stat.h>

#include <cerrno>

namespace keldo {

namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::int32_t PrefixFileTool::EnsureFolder(const Text& folder) {
  const auto located = paths_.Locate(folder);
  if (!located || !IsFolder(located->existing)) return 0;
  std::string path = located->existing;
  for (const auto& name : located->missing) {
    path += "/" + name;
    // EEXIST: made meanwhile by someone else, which is as good.
    if (::mkdir(path.c_str(), 0777) != 0 && !(errno == EEXIST && IsFolder(path))) return 0;
  }
  return 1;
}

}  // namespace keldo
