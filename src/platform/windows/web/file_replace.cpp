#include "platform/windows/web/file_replace.h"

#include <windows.h>

#include "platform/windows/text/wide_text.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/win_error.h"

namespace keldo {

namespace {

std::string Failed(const std::string& what, const Text& path) {
  return DescribeError(what + " " + ToUtf8(path), GetLastError());
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return FlushFileBuffers(file) != 0;
}

}  // namespace

std::string ReplaceFileWith(const Text& path, const std::string& bytes) {
  // Made before the temporary file exists: an allocation that fails
  // between its creation and its move or deletion would leave it behind.
  const std::wstring target = Wide(path);
  // CREATE_NEW never reuses a file that someone else may have put there.
  std::wstring temporary;
  KernelHandle file;
  for (int attempt = 0; !file && attempt < 10; ++attempt) {
    temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(attempt) + L".part";
    file = OwnFileHandle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!file) return Failed("Creating a temporary file beside", path);

  const bool written = WriteAll(file.get(), bytes);
  const DWORD writeError = GetLastError();
  file.reset();
  if (!written) {
    DeleteFileW(temporary.c_str());
    SetLastError(writeError);
    return Failed("Writing the download for", path);
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD moveError = GetLastError();
    DeleteFileW(temporary.c_str());
    SetLastError(moveError);
    return Failed("Replacing", path);
  }
  return {};
}

}  // namespace keldo
