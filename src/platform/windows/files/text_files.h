#pragma once
#include "base/text_files.h"

namespace keldo {

// Read-only input through CreateFileW/ReadFile, deletion through DeleteFileW.
class WinTextFiles final : public TextFiles {
 public:
  std::unique_ptr<InputFile> OpenForInput(const Text& path) override;
  void RemoveFile(const Text& path) override;
  Text FromAnsi(const std::string& bytes) override;
};

}  // namespace keldo
