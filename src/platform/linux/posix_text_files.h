#pragma once
#include "local/text_files.h"
#include "platform/linux/wine_paths.h"

// Reading and deleting files named by Windows paths under the prefix.
class PosixTextFiles : public TextFiles {
 public:
  explicit PosixTextFiles(const WinePaths& paths) : paths_(paths) {}
  std::unique_ptr<InputFile> OpenForInput(const Text& path) override;
  void DeleteFile(const Text& path) override;
  Text FromAnsi(const std::string& bytes) override;

 private:
  const WinePaths& paths_;
};
