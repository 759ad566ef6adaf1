#pragma once
#include <string>
#include <vector>

#include <sys/types.h>

#include "base/drive_mapper.h"

namespace keldo {

// Reconnects a remembered share the desktop's way: `gio mount smb://...`,
// started in the background with its standard streams on /dev/null.
// Every child is reaped: those awaited by WaitForStarted as they end, those
// still running at its bound whenever a later start, wait or the end of
// this object finds them ended. One still running when the process ends is
// adopted and reaped by init, as any orphan is.
class GioDriveMapper : public DriveMapper {
 public:
  // `program` is looked up on PATH; the tests put a recorder in its place.
  explicit GioDriveMapper(std::string program = "gio") : program_(std::move(program)) {}
  ~GioDriveMapper() override;
  GioDriveMapper(const GioDriveMapper&) = delete;
  GioDriveMapper& operator=(const GioDriveMapper&) = delete;

  void StartMapping(const Text& letter, const Text& remotePath) override;
  // Polls a pidfd of each child started since the last wait, all together,
  // and reaps each as it ends.
  void WaitForStarted(std::chrono::milliseconds bound) override;

 private:
  std::string program_;
  std::vector<pid_t> started_;   // not yet awaited
  std::vector<pid_t> leftover_;  // outlived a wait's bound: only reaped
};

// \\server\share\folder -> smb://server/share/folder, each segment
// percent-encoded as UTF-8. Nothing for a path that is not a UNC path.
std::string SmbUrl(const Text& remotePath);

}  // namespace keldo
