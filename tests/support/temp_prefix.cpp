#include "support/temp_prefix.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace keldo {

namespace fs = std::filesystem;

TempPrefix::TempPrefix() {
  folder_.MakeFolder("drive_c");
  Link("c:", "../drive_c");
}

void TempPrefix::Link(const std::string& name, const std::string& target) const {
  folder_.Link("dosdevices/" + name, target);
}

void TempPrefix::WriteUserReg(const std::string& body) const {
  Write("user.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
        "#arch=win64\n\n" +
            body);
}

void TempPrefix::WriteSystemReg(const std::string& body) const {
  Write("system.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n" + body);
}

std::map<std::string, std::string> SnapshotTree(const std::string& root) {
  std::map<std::string, std::string> tree;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string relative = fs::relative(it->path(), root).string();
    if (it->is_symlink()) {
      tree[relative] = "l:" + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      tree[relative] = "d";
    } else {
      tree[relative] = "f:" + ReadAll(it->path().string());
    }
  }
  return tree;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace keldo
