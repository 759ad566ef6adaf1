#pragma once
#include <windows.h>

#include <vector>

#include "base/drive_mapper.h"
#include "platform/windows/unique_handle.h"

namespace keldo {

// Starts the system folder's own net.exe as "net use <letter>: <path>",
// minimised, and keeps its process handle until the next wait.
class ProcessMapper final : public DriveMapper {
 public:
  void StartMapping(const Text& letter, const Text& remotePath) override;
  // Every handle kept is given back, whether its process has ended or not.
  void WaitForStarted(std::chrono::milliseconds bound) override;

 private:
  std::vector<KernelHandle> started_;
};

}  // namespace keldo
