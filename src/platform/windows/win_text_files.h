#pragma once
#include <windows.h>
// windows.h renames DeleteFile to DeleteFileW; the port's method keeps its
// name wherever this header is included.
#undef DeleteFile

#include "local/text_files.h"

// Read-only input through CreateFileW/ReadFile, deletion through DeleteFileW.
class WinTextFiles final : public TextFiles {
 public:
  std::unique_ptr<InputFile> OpenForInput(const Text& path) override;
  void DeleteFile(const Text& path) override;
  Text FromAnsi(const std::string& bytes) override;
};
