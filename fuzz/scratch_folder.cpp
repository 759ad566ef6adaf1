#include "scratch_folder.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace keldo {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  std::string pattern = (fs::temp_directory_path() / "keldo-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ScratchFolder::Write(const std::string& relative, const std::string& bytes) const {
  const fs::path file = fs::path(path_) / relative;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) {
    std::fprintf(stderr, "cannot write %s\n", file.c_str());
    std::abort();
  }
}

void ScratchFolder::Link(const std::string& relative, const std::string& target) const {
  const fs::path link = fs::path(path_) / relative;
  fs::create_directories(link.parent_path());
  fs::create_symlink(target, link);
}

}  // namespace keldo
