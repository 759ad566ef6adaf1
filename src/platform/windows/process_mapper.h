#pragma once
#include "base/drive_mapper.h"

namespace keldo {

// Starts the system folder's own net.exe as "net use <letter>: <path>",
// minimised, and lets it run on its own.
class ProcessMapper final : public DriveMapper {
 public:
  void StartMapping(const Text& letter, const Text& remotePath) override;
};

}  // namespace keldo
