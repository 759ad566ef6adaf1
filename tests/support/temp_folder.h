#pragma once
// A folder of the test's own under the temporary folder ($TMPDIR, else
// /tmp), removed with everything in it when the object goes.
#include <string>

namespace keldo {

class TempFolder {
 public:
  // The folder's name is `stem` and six random characters. Throws
  // std::runtime_error when it cannot be made.
  explicit TempFolder(const std::string& stem = "keldo-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Writes `bytes` to `relative`, making its parent folders; throws
  // std::runtime_error when the file cannot be written whole.
  void Write(const std::string& relative, const std::string& bytes) const;
  void MakeFolder(const std::string& relative) const;
  // `relative` -> `target` (relative to the link's folder, or absolute),
  // making the link's parent folders.
  void Link(const std::string& relative, const std::string& target) const;

 private:
  std::string path_;
};

}  // namespace keldo
