#pragma once
#include <cstdint>

#include "base/file_system.h"

namespace keldo {

// Drives from GetLogicalDrives/GetDriveTypeW; the file test from
// GetFileAttributesW.
class DriveFiles final : public FileSystem {
 public:
  // Turns off the system's "No disk" box for the whole process, so that an
  // empty card reader or a dead network drive answers false silently.
  DriveFiles();
  std::vector<DriveEntry> Drives() override;
  bool FileExists(const Text& path) override;
};

// GetDriveTypeW's answer as the file-system service's type code.
std::int32_t DriveTypeCode(unsigned int windowsDriveType);

}  // namespace keldo
