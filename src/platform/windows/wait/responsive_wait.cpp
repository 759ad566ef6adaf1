#include "platform/windows/wait/responsive_wait.h"

#include <algorithm>
#include <vector>

#include "platform/windows/unique_handle.h"
#include "platform/windows/win_error.h"

namespace keldo {

namespace {

// A window that never validates its WM_PAINT would keep handing out the same
// message: after this many in one go, the handles get their look first.
constexpr int kMostMessagesAtOnce = 256;

BOOL CALLBACK FoundWindow(HWND, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

// What is left of `ms` since `start`, at most one serving interval.
DWORD NextSlice(ULONGLONG start, DWORD ms) {
  if (ms == INFINITE) return kServeEveryMs;
  const ULONGLONG passed = GetTickCount64() - start;
  return passed >= ms ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(kServeEveryMs, ms - passed));
}

// Drops the handles that are signalled by now; false when one cannot be
// asked (GetLastError() set).
bool DropSignalled(std::vector<HANDLE>& pending) {
  for (auto it = pending.begin(); it != pending.end();) {
    const DWORD state = WaitForSingleObject(*it, 0);
    if (state == WAIT_FAILED) return false;
    it = state == WAIT_TIMEOUT ? std::next(it) : pending.erase(it);
  }
  return true;
}

DWORD WINAPI RunJob(void* parameter) {
  const std::unique_ptr<std::shared_ptr<served_detail::Job>> job(
      static_cast<std::shared_ptr<served_detail::Job>*>(parameter));
  (*job)->Run();
  return 0;
}

}  // namespace

bool ThreadHasWindow() {
  const DWORD self = GetCurrentThreadId();
  bool found = false;
  EnumThreadWindows(self, FoundWindow, reinterpret_cast<LPARAM>(&found));
  if (found) return true;
  // Message-only windows are no top-level ones, but they are sent messages too.
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    if (GetWindowThreadProcessId(window, nullptr) == self) return true;
  }
  return false;
}

namespace {

// Serves this thread's paint and sent messages that are waiting now.
void ServeWindowMessages() {
  MSG message;
  // PeekMessage delivers the sent messages itself and hands out the paint
  // ones; nothing posted and no input is taken.
  for (int served = 0;
       served < kMostMessagesAtOnce &&
       PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE);
       ++served) {
    if (message.message == WM_QUIT) {
      // A quit that comes out despite the filter belongs to the message
      // loop, which gets it back.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchMessageW(&message);
  }
}

}  // namespace

DWORD WaitForAllServed(DWORD count, const HANDLE* handles, DWORD ms) {
  if (count == 0 || count > kMaxServedHandles || handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  if (!ThreadHasWindow()) return WaitForMultipleObjects(count, handles, TRUE, ms);
  std::vector<HANDLE> pending(handles, handles + count);
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    ServeWindowMessages();
    if (!DropSignalled(pending)) return WAIT_FAILED;
    if (pending.empty()) return WAIT_OBJECT_0;
    const DWORD slice = NextSlice(start, ms);
    if (slice == 0) return WAIT_TIMEOUT;
    // No MWMO_INPUTAVAILABLE: a paint message that stays (see above) would
    // wake it at once, again and again. Without it, only messages that came
    // since the last look wake it, and the slice bounds the rest.
    if (MsgWaitForMultipleObjectsEx(static_cast<DWORD>(pending.size()), pending.data(), slice,
                                    QS_PAINT | QS_SENDMESSAGE, 0) == WAIT_FAILED) {
      return WAIT_FAILED;
    }
  }
}

namespace served_detail {

void RunOnWorker(const std::shared_ptr<Job>& job) {
  // The worker holds the job too, so that it may outlive a failed wait.
  auto* handed = new std::shared_ptr<Job>(job);
  KernelHandle thread(CreateThread(nullptr, 0, RunJob, handed, 0, nullptr));
  if (!thread) {
    const DWORD error = GetLastError();
    delete handed;
    ThrowError("Starting a worker thread", error);
  }
  const HANDLE handle = thread.get();
  if (WaitForAllServed(1, &handle, INFINITE) != WAIT_OBJECT_0) {
    ThrowLastError("Waiting for a worker thread");
  }
}

}  // namespace served_detail

}  // namespace keldo
