#pragma once
#include "base/text.h"

namespace keldo {

// Starts the re-mapping of one remembered network drive in the background:
// minimised, never awaited, its outcome never read. Windows starts the
// `net use` command line; other platforms their own way to reconnect a share.
class DriveMapper {
 public:
  virtual ~DriveMapper() = default;
  // Throws RunTimeError when nothing could be started.
  virtual void StartMapping(const Text& letter, const Text& remotePath) = 0;
};

}  // namespace keldo
