#pragma once
// A folder of the fuzz target's own under /tmp, removed when the process
// ends normally.
#include <string>

namespace keldo {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Writes `bytes` to `relative`, making its parent folders.
  void Write(const std::string& relative, const std::string& bytes) const;
  void Link(const std::string& relative, const std::string& target) const;

 private:
  std::string path_;
};

}  // namespace keldo
