// The window's thread keeps answering while it waits (responsive_wait.h): a
// message-only window of the test's thread stands for the main window, as
// it needs no display.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/errors.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wait/responsive_wait.h"

namespace keldo {

namespace {

constexpr UINT kAsked = WM_APP + 1, kPosted = WM_APP + 2;
constexpr LRESULT kAnswer = 42;
// Generous: a wait that should end ends long before; one that hangs fails.
constexpr DWORD kHangLimitMs = 20000;
constexpr const wchar_t* kClass = L"KeldoServedWaitTest";

// Only the test's own thread touches these.
int askedSeen = 0, postedSeen = 0;

LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAsked) {
    ++askedSeen;
    return kAnswer;
  }
  if (message == kPosted) ++postedSeen;
  return DefWindowProcW(window, message, wParam, lParam);
}

class MessageWindow {
 public:
  MessageWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Count;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);  // once per process; later calls fail harmlessly
    window_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    askedSeen = postedSeen = 0;
  }
  ~MessageWindow() {
    DestroyWindow(window_);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

KernelHandle ManualEvent() { return KernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

// Another program's question: sent with a limit, then `done` is signalled.
std::thread AskThenSignal(HWND window, HANDLE done, std::atomic<bool>& answered) {
  return std::thread([window, done, &answered] {
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutW(window, kAsked, 0, 0, SMTO_BLOCK, 5000, &result) != 0 &&
               result == static_cast<DWORD_PTR>(kAnswer);
    SetEvent(done);
  });
}

std::thread SignalLater(HANDLE event, DWORD ms) {
  return std::thread([event, ms] {
    Sleep(ms);
    SetEvent(event);
  });
}

TEST(WaitForAllServed, AnswersSentMessagesWhileItWaits) {
  MessageWindow window;
  ASSERT_TRUE(window.get());
  const KernelHandle done = ManualEvent();
  std::atomic<bool> answered{false};
  std::thread asker = AskThenSignal(window.get(), done.get(), answered);
  const HANDLE handle = done.get();
  EXPECT_EQ(WaitForAllServed(1, &handle, kHangLimitMs), static_cast<DWORD>(WAIT_OBJECT_0));
  asker.join();
  EXPECT_TRUE(answered);
  EXPECT_EQ(askedSeen, 1);
}

TEST(WaitForAllServed, LeavesPostedMessagesInTheQueue) {
  MessageWindow window;
  ASSERT_TRUE(window.get());
  PostMessageW(window.get(), kPosted, 0, 0);
  const KernelHandle done = ManualEvent();
  std::thread setter = SignalLater(done.get(), 300);
  const HANDLE handle = done.get();
  EXPECT_EQ(WaitForAllServed(1, &handle, kHangLimitMs), static_cast<DWORD>(WAIT_OBJECT_0));
  setter.join();
  EXPECT_EQ(postedSeen, 0);
  MSG message;
  EXPECT_TRUE(PeekMessageW(&message, window.get(), kPosted, kPosted, PM_REMOVE));
}

TEST(WaitForAllServed, WaitsForEveryHandleNotTheFirstOne) {
  MessageWindow window;
  const KernelHandle first = ManualEvent(), second = ManualEvent();
  const HANDLE both[] = {first.get(), second.get()};
  SetEvent(first.get());
  EXPECT_EQ(WaitForAllServed(2, both, 300), static_cast<DWORD>(WAIT_TIMEOUT));
  std::thread setter = SignalLater(second.get(), 200);
  EXPECT_EQ(WaitForAllServed(2, both, kHangLimitMs), static_cast<DWORD>(WAIT_OBJECT_0));
  setter.join();
}

TEST(WaitForAllServed, AFailedWaitEndsAsAFailedCallWithThePlatformsCode) {
  MessageWindow window;
  const KernelHandle pending = ManualEvent();
  const HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CloseHandle(closed);
  const HANDLE handles[] = {pending.get(), closed};
  EXPECT_EQ(WaitForAllServed(2, handles, kHangLimitMs), static_cast<DWORD>(WAIT_FAILED));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  EXPECT_EQ(WaitForAllServed(0, handles, 0), static_cast<DWORD>(WAIT_FAILED));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  const std::vector<HANDLE> tooMany(kMaxServedHandles + 1, pending.get());
  EXPECT_EQ(WaitForAllServed(static_cast<DWORD>(tooMany.size()), tooMany.data(), 0),
            static_cast<DWORD>(WAIT_FAILED));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(RunServed, RunsTheCallOnAWorkerAndAnswersMeanwhile) {
  MessageWindow window;
  const KernelHandle done = ManualEvent();
  std::atomic<bool> answered{false};
  std::thread asker = AskThenSignal(window.get(), done.get(), answered);
  const HANDLE handle = done.get();
  // The call blocks until the question has been answered.
  const DWORD ranOn = RunServed([handle] {
    WaitForSingleObject(handle, kHangLimitMs);
    return GetCurrentThreadId();
  });
  asker.join();
  EXPECT_NE(ranOn, GetCurrentThreadId());
  EXPECT_TRUE(answered);
}

TEST(RunServed, HandsTheCallsErrorBackToTheCaller) {
  MessageWindow window;
  try {
    RunServed([]() -> int { throw RunTimeError(ERROR_BAD_NETPATH, "the drive is gone"); });
    FAIL() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.code(), ERROR_BAD_NETPATH);
    EXPECT_STREQ(error.what(), "the drive is gone");
  }
}

TEST(RunServed, WithoutAWindowRunsTheCallRightHere) {
  EXPECT_EQ(RunServed([] { return GetCurrentThreadId(); }), GetCurrentThreadId());
}

}  // namespace

}  // namespace keldo
