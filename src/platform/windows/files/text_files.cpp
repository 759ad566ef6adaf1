#include "platform/windows/files/text_files.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/text/wide_text.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wait/responsive_wait.h"
#include "platform/windows/win_error.h"

namespace keldo {

namespace {

class WinInputFile final : public InputFile {
 public:
  WinInputFile(KernelHandle file, std::string path)
      : file_(std::move(file)), path_(std::move(path)) {}
  std::size_t Read(char* buffer, std::size_t count) override {
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 20));
    if (!ReadFile(file_.get(), buffer, wanted, &read, nullptr)) {
      ThrowLastError("Reading " + path_);
    }
    return read;
  }

 private:
  KernelHandle file_;
  std::string path_;
};

}  // namespace

std::unique_ptr<InputFile> WinTextFiles::OpenForInput(const Text& path) {
  // The file may lie on a slow network drive: opened on a worker while the
  // window stays served (responsive_wait.h). Others may go on reading and
  // writing it while we read its first line.
  KernelHandle file = RunServed([path] {
    KernelHandle opened = OwnFileHandle(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!opened) ThrowLastError("Opening " + ToUtf8(path));
    return opened;
  });
  return std::make_unique<WinInputFile>(std::move(file), ToUtf8(path));
}

void WinTextFiles::RemoveFile(const Text& path) {
  RunServed([path] {
    if (!DeleteFileW(Wide(path).c_str())) ThrowLastError("Deleting " + ToUtf8(path));
    return true;
  });
}

Text WinTextFiles::FromAnsi(const std::string& bytes) { return FromAnsiCodePage(bytes); }

}  // namespace keldo
