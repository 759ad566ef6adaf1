#pragma once
#include <string>
#include <vector>

#include <sys/types.h>

#include "base/drive_mapper.h"

namespace keldo {

// Reconnects a remembered share the desktop's way: `gio mount smb://...`,
// started in the background with its standard streams on /dev/null.
class GioDriveMapper : public DriveMapper {
 public:
  // `program` is looked up on PATH; the tests put a recorder in its place.
  explicit GioDriveMapper(std::string program = "gio") : program_(std::move(program)) {}
  ~GioDriveMapper() override;
  GioDriveMapper(const GioDriveMapper&) = delete;
  GioDriveMapper& operator=(const GioDriveMapper&) = delete;

  void StartMapping(const Text& letter, const Text& remotePath) override;

 private:
  // Collects every started process that has ended; never waits for one.
  void ReapEnded();

  std::string program_;
  std::vector<pid_t> running_;
};

// \\server\share\folder -> smb://server/share/folder, each segment
// percent-encoded as UTF-8. Nothing for a path that is not a UNC path.
std::string SmbUrl(const Text& remotePath);

}  // namespace keldo
