#include "platform/windows/process_mapper.h"

#include <windows.h>

#include "local/net_use_command.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win_error.h"

namespace keldo {

namespace {

// The system's own net.exe. Without an application name CreateProcessW
// would search the program's folder and the current folder first, so a
// net.exe dropped beside the program or in a download folder would run.
std::wstring SystemNetPath() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0) ThrowLastError("Cannot find the system folder");
    if (length < folder.size()) {
      folder.resize(length);
      break;
    }
    folder.resize(length);  // the size needed, its NUL included
  }
  if (folder.back() != L'\\') folder += L'\\';
  return folder + L"net.exe";
}

}  // namespace

void ProcessMapper::StartMapping(const Text& letter, const Text& remotePath) {
  const std::wstring application = SystemNetPath();
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring commandLine = Wide(NetUseCommandLine(letter, remotePath));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION process{};
  // A console of its own, so that it starts minimised from the console
  // report too.
  if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &process)) {
    ThrowLastError("Cannot start " + ToUtf8(FromWide(application)) + " as " +
                   ToUtf8(FromWide(commandLine)));
  }
  // Never awaited: the handles go back at once.
  KernelHandle(process.hThread).reset();
  KernelHandle(process.hProcess).reset();
}

}  // namespace keldo
