#pragma once
#include <dirent.h>

#include <memory>

namespace keldo {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
// Owns one open directory stream.
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

}  // namespace keldo
