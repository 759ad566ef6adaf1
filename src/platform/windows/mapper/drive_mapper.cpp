#include "platform/windows/mapper/drive_mapper.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/mapper/net_use_command.h"
#include "platform/windows/text/wide_text.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wait/responsive_wait.h"
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
    if (length == 0) ThrowLastError("Finding the system folder");
    if (length < folder.size()) {
      folder.resize(length);
      break;
    }
    folder.resize(length);  // the size needed, its NUL included
  }
  if (folder.back() != L'\\') folder += L'\\';
  return folder + L"net.exe";
}

// Waits until every process of `processes` has ended, or `bound` has
// passed; the one place where this layer waits for the commands it started.
// The window keeps answering while it waits (responsive_wait.h).
void WaitForProcesses(const std::vector<HANDLE>& processes, std::chrono::milliseconds bound) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + bound;
  // One call takes at most kMaxServedHandles handles (a run starts at most
  // 26); more are awaited in turn, each share of them with what is left of
  // the bound.
  for (std::size_t first = 0; first < processes.size(); first += kMaxServedHandles) {
    const auto count =
        static_cast<DWORD>(std::min<std::size_t>(processes.size() - first, kMaxServedHandles));
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    const DWORD timeout = static_cast<DWORD>(std::clamp<long long>(left.count(), 0, INFINITE - 1));
    const DWORD result = WaitForAllServed(count, processes.data() + first, timeout);
    if (result == WAIT_FAILED) ThrowLastError("Waiting for the net use commands");
    if (result == WAIT_TIMEOUT) return;  // still running: left to run
  }
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
    ThrowLastError("Starting " + ToUtf8(FromWide(application)) + " as " +
                   ToUtf8(FromWide(commandLine)));
  }
  KernelHandle(process.hThread).reset();
  started_.emplace_back(process.hProcess);
}

void ProcessMapper::WaitForStarted(std::chrono::milliseconds bound) {
  const std::vector<KernelHandle> processes = std::move(started_);
  started_.clear();
  std::vector<HANDLE> handles;
  for (const KernelHandle& process : processes) handles.push_back(process.get());
  WaitForProcesses(handles, bound);
}

}  // namespace keldo
