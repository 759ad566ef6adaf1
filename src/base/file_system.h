#pragma once
#include <cstdint>
#include <vector>

#include "base/text.h"

namespace keldo {

// Drive type codes of the file-system service.
enum DriveType : std::int32_t {
  kDriveUnknown = 0,
  kDriveRemovable = 1,
  kDriveFixed = 2,
  kDriveNetwork = 3,
  kDriveCdRom = 4,
  kDriveRamDisk = 5,
};

struct DriveEntry {
  Text letter;        // one upper-case letter, no colon
  std::int32_t type;  // a DriveType code
};

// The file-system service: the drive list and the file-exists test.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Every drive letter that exists now, in ascending letter order, taken
  // afresh on each call. Throws RunTimeError when the list cannot be had.
  virtual std::vector<DriveEntry> Drives() = 0;
  // True only for an existing regular file (a folder is not a file); false,
  // never an error, for a drive that is not ready or cannot be reached.
  virtual bool FileExists(const Text& path) = 0;
};

}  // namespace keldo
