#include "support/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace keldo {

namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string& stem) {
  std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("mkdtemp failed for " + pattern);
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& relative, const std::string& bytes) const {
  const fs::path file = fs::path(path_) / relative;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

void TempFolder::MakeFolder(const std::string& relative) const {
  fs::create_directories(fs::path(path_) / relative);
}

void TempFolder::Link(const std::string& relative, const std::string& target) const {
  const fs::path link = fs::path(path_) / relative;
  fs::create_directories(link.parent_path());
  fs::create_symlink(target, link);
}

}  // namespace keldo
