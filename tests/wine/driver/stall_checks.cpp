#include "driver/stall_checks.h"

#include "driver/scenarios.h"
#include "driver/window_probe.h"

namespace keldo {

namespace {

constexpr DWORD kQuestionWaitMs = 10000;
// Two web requests of at most 30 s each, and the rest of the run.
constexpr DWORD kClickWaitMs = 90000;
constexpr const wchar_t* kCoverClass = L"KeldoDriverCover";

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

}  // namespace

bool AwaitWebsiteQuestion(HWND window) {
  const HWND expiry = Child(window, Control::lblServerShowsExpires);
  const ULONGLONG deadline = GetTickCount64() + kQuestionWaitMs;
  while (GetTickCount64() < deadline) {
    if (expiry && TextOf(expiry) != DesignCaption(Control::lblServerShowsExpires)) return true;
    Sleep(20);
  }
  return false;
}

const std::vector<Control>& CaptionsSetBeforeWebsite() {
  static const std::vector<Control> kSet = {Control::lblAutoUpdate, Control::lblSingleOrNetwork,
                                            Control::lblSerial, Control::lblServer,
                                            Control::lblServerShowsExpires};
  return kSet;
}

StallChecks::~StallChecks() {
  if (click_.joinable()) click_.join();
}

void StallChecks::CoverAndUncover() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kCoverClass;
  RegisterClassW(&windowClass);
  const RECT area = ScreenRect(window_);
  const HWND cover =
      CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, L"", WS_POPUP, area.left,
                      area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                      GetModuleHandleW(nullptr), nullptr);
  log_.Check(cover != nullptr, "a window of the driver covers the program's window");
  if (!cover) return;
  ShowWindow(cover, SW_SHOWNOACTIVATE);
  UpdateWindow(cover);
  PumpMessagesFor(500);
  DestroyWindow(cover);
  PumpMessagesFor(500);
}

void StallChecks::DuringStall() {
  if (!log_.Check(AwaitWebsiteQuestion(window_), "the run asks the website")) return;
  CoverAndUncover();
  for (const Control control : CaptionsSetBeforeWebsite()) {
    const std::string name(SpecOf(control).name);
    log_.Check(shots_.Take("stall-" + name, ScreenRect(Child(window_, control))),
               "screenshot of " + name + " while the website is silent");
  }
  const HWND start = Child(window_, Control::cmdStart), exit = Child(window_, Control::cmdExit);
  const HWND window = window_;
  // Sent, as another program would: they are delivered while the run waits.
  click_ = std::thread([start, exit, window] {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(start, BM_CLICK, 0, 0, SMTO_NORMAL, kClickWaitMs, &result);
    SendMessageTimeoutW(exit, BM_CLICK, 0, 0, SMTO_NORMAL, kClickWaitMs, &result);
    SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, kClickWaitMs, &result);
  });
}

void StallChecks::AfterRun() {
  log_.Check(IsWindow(window_) != FALSE,
             "a click on Exit and a close sent during the run are refused: the window is still "
             "there after the run");
  for (const Control control : CaptionsSetBeforeWebsite()) {
    const std::string name(SpecOf(control).name);
    log_.Check(shots_.Take("run-" + name, ScreenRect(Child(window_, control))),
               "screenshot of " + name + " after the run");
  }
}

}  // namespace keldo
