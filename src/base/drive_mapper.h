#pragma once
#include <chrono>

#include "base/text.h"

namespace keldo {

// Starts the re-mapping of one remembered network drive in the background,
// minimised, and can wait for what it started; a command's outcome is never
// read. Windows starts the `net use` command line; other platforms their own
// way to reconnect a share.
class DriveMapper {
 public:
  virtual ~DriveMapper() = default;
  // Throws RunTimeError when nothing could be started.
  virtual void StartMapping(const Text& letter, const Text& remotePath) = 0;
  // Returns once every command started since the last wait has ended, all
  // awaited together, or once `bound` has passed: a command still running
  // then is left to run, and no longer awaited. Throws RunTimeError when the
  // wait itself fails.
  virtual void WaitForStarted(std::chrono::milliseconds bound) = 0;
};

}  // namespace keldo
