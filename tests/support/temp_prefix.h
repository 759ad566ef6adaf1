#pragma once
// A Wine prefix laid out in a temporary folder, the way Wine leaves one:
// user.reg, system.reg and dosdevices/ with one link per drive.
#include <map>
#include <string>

#include "platform/linux/prefix/wine_prefix.h"
#include "support/temp_folder.h"

namespace keldo {

class TempPrefix {
 public:
  TempPrefix();

  const std::string& Root() const { return folder_.Path(); }
  WinePrefix Prefix() const { return WinePrefix{Root()}; }

  // dosdevices/<name> -> target (relative to dosdevices/ or absolute).
  void Link(const std::string& name, const std::string& target) const;
  // A file under the prefix, parent folders made as needed.
  void Write(const std::string& relative, const std::string& bytes) const {
    folder_.Write(relative, bytes);
  }
  void MakeFolder(const std::string& relative) const { folder_.MakeFolder(relative); }
  // Registry files with Wine's header; `body` holds keys and values.
  void WriteUserReg(const std::string& body) const;
  void WriteSystemReg(const std::string& body) const;

 private:
  TempFolder folder_{"keldo-prefix"};
};

// Every entry below `root`: "d" for a folder, "f:" and the content for a
// file, "l:" and the target for a link.
std::map<std::string, std::string> SnapshotTree(const std::string& root);

std::string ReadAll(const std::string& path);

}  // namespace keldo
