#pragma once
#include "base/file_system.h"
#include "platform/linux/prefix/wine_paths.h"
#include "platform/linux/registry/reg_file.h"

namespace keldo {

// The drives of the prefix: the "<letter>:" entries of dosdevices/, typed
// by system.reg's Software\Wine\Drives or else by what is mounted there,
// as Wine itself reports them.
class WineFileSystem : public FileSystem {
 public:
  WineFileSystem(const WinePaths& paths, RegFile& systemReg);
  std::vector<DriveEntry> Drives() override;
  bool FileExists(const Text& path) override;

 private:
  const WinePaths& paths_;
  RegFile& systemReg_;
};

}  // namespace keldo
