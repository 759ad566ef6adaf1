#pragma once
#include "base/text_files.h"
#include "platform/linux/prefix/wine_paths.h"
#include "platform/linux/text/ansi_code_page.h"

namespace keldo {

// Reading and deleting files named by Windows paths under the prefix; their
// text is in the prefix's ANSI code page.
class PosixTextFiles : public TextFiles {
 public:
  PosixTextFiles(const WinePaths& paths, AnsiCodePage& codePage)
      : paths_(paths), codePage_(codePage) {}
  std::unique_ptr<InputFile> OpenForInput(const Text& path) override;
  void RemoveFile(const Text& path) override;
  Text FromAnsi(const std::string& bytes) override;

 private:
  const WinePaths& paths_;
  AnsiCodePage& codePage_;
};

}  // namespace keldo
