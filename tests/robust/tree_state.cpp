#include "tree_state.h"

#include <sys/stat.h>

#include <filesystem>

namespace keldo {

namespace fs = std::filesystem;

TreeState ReadTreeState(const std::string& root) {
  TreeState state;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string relative = fs::relative(it->path(), root).string();
    struct stat st {};
    ::lstat(it->path().c_str(), &st);
    if (S_ISLNK(st.st_mode)) {
      state[relative] = "link to " + fs::read_symlink(it->path()).string();
    } else if (S_ISDIR(st.st_mode)) {
      state[relative] = "folder";
    } else {
      state[relative] = "file of " + std::to_string(st.st_size) + " bytes, modified " +
                        std::to_string(st.st_mtim.tv_sec) + "." +
                        std::to_string(st.st_mtim.tv_nsec) + ", inode " + std::to_string(st.st_ino);
    }
  }
  return state;
}

}  // namespace keldo
