#include "platform/windows/process_mapper.h"

#include <windows.h>

#include "local/net_use_command.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/win_error.h"

void ProcessMapper::StartMapping(const Text& letter, const Text& remotePath) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring commandLine = Wide(NetUseCommandLine(letter, remotePath));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION process{};
  // No application name: the system's search order finds "net". A console
  // of its own, so that it starts minimised from the console report too.
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                      nullptr, nullptr, &startup, &process)) {
    ThrowLastError("Cannot start " + ToUtf8(FromWide(commandLine)));
  }
  // Never awaited: the handles go back at once.
  KernelHandle(process.hThread).reset();
  KernelHandle(process.hProcess).reset();
}
