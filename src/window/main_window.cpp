#include "window/main_window.h"

#include <commctrl.h>

#include <exception>
#include <utility>

#include "app/main_check.h"
#include "platform/windows/resources/resource_ids.h"
#include "platform/windows/text/wide_text.h"
#include "platform/windows/win_error.h"
#include "window/control_font.h"
#include "window/findings_clipboard.h"
#include "window/twips.h"
#include "window/window_dpi.h"

namespace keldo {

namespace {

constexpr const wchar_t* kClassName = L"CheckKeldoSupportWindow";
// A fixed dialog frame: caption and window menu with its close box, but
// no sizing border and no minimise or maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = 0;
// What a screen reader says when a run is over and every finding is in
// (or its box was closed): the progress label's accessible name, never its
// text, so the screen shows nothing new.
constexpr const wchar_t* kRunOver = L"Check finished";

void ShowBox(HWND owner, const Text& text) {
  MessageBoxW(owner, Wide(text).c_str(), Wide(kAppTitle).c_str(), MB_OK);
}

// The untrapped-error box. Should its text not fit in memory, a box whose
// text needs none: no exception may cross the window system's frames, and
// the window stays for the next press of Start.
void ShowUntrapped(HWND owner, const char* what) noexcept {
  try {
    ShowBox(owner, FromUtf8(what != nullptr ? what : "An error of unknown kind"));
  } catch (...) {
    MessageBoxW(owner, L"Out of memory: the error cannot be shown",
                reinterpret_cast<const wchar_t*>(kAppTitle), MB_OK);
  }
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  colours_ = ChooseColours(CurrentContrast(), ReadSystemColours());
  background_.reset(CreateSolidBrush(colours_.background));
  if (!background_) ThrowLastError("Creating the window's background");
  labelBrush_.reset(CreateSolidBrush(colours_.labelBack));
  if (!labelBrush_) ThrowLastError("Creating the labels' background");

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                    GetSystemMetrics(SM_CYICON), LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(background_.get());
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExW(&windowClass)) ThrowLastError("Registering the window class");

  if (!CreateWindowExW(kExStyle, kClassName, Wide(kAppTitle).c_str(), kStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this)) {
    ThrowLastError("Creating the main window");
  }
  // A constructor that throws runs no destructor: give the window back here.
  try {
    CreateControls();
    LayerTitle();
    AddCopyFindingsItem(window_);
    Layout(WindowDpi(window_), nullptr);
  } catch (...) {
    DestroyWindow(window_);
    UnregisterClassW(kClassName, instance_);
    throw;
  }
}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
  UnregisterClassW(kClassName, instance_);
}

void MainWindow::CreateControls() {
  // Created in tab order, which is also the order the keyboard visits them.
  for (const ControlSpec& entry : kControls) {
    const bool label = entry.kind == ControlKind::Label;
    // Labels: no access keys, so an "&" in a serial number shows as itself.
    const DWORD style =
        WS_CHILD | WS_VISIBLE | (label ? SS_LEFT | SS_NOPREFIX : BS_PUSHBUTTON | WS_TABSTOP);
    const HWND control = CreateWindowExW(
        0, label ? L"STATIC" : L"BUTTON", reinterpret_cast<const wchar_t*>(entry.designCaption),
        style, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(entry.id))), instance_, nullptr);
    if (!control) ThrowLastError("Creating control " + std::string(entry.name));
    controls_[static_cast<std::size_t>(entry.id)] = control;
    captions_[static_cast<std::size_t>(entry.id)] = entry.designCaption;
  }
}

void MainWindow::LayerTitle() const {
  if (!SetWindowPos(ControlWindow(Control::lblProgress), ControlWindow(Control::lblTitle), 0, 0, 0,
                    0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE)) {
    ThrowLastError("Placing the title above the progress label");
  }
}

void MainWindow::ApplyColours() {
  const WindowColours colours = ChooseColours(CurrentContrast(), ReadSystemColours());
  GdiObject background(CreateSolidBrush(colours.background));
  if (!background) ThrowLastError("Creating the window's background");
  GdiObject labels(CreateSolidBrush(colours.labelBack));
  if (!labels) ThrowLastError("Creating the labels' background");
  colours_ = colours;
  SetClassLongPtrW(window_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(background.get()));
  // The class holds the new brush now; the old ones may go.
  background_ = std::move(background);
  labelBrush_ = std::move(labels);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::Layout(UINT dpi, const POINT* topLeft) {
  std::map<int, GdiObject> fonts;
  for (const ControlSpec& entry : kControls) {
    auto& font = fonts[entry.centiPoints];
    if (!font) {
      font = CreateControlFont(entry.centiPoints, dpi);
      if (!font) ThrowLastError("Creating the Arial font");
    }
    const HWND control = ControlWindow(entry.id);
    const PixelRect rect = ControlPixels(entry, dpi);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    SetWindowPos(control, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The controls hold the new fonts now; the old ones may go.
  fonts_.swap(fonts);

  const RECT client{0, 0, TwipsToPixels(kClientWidthTwips, dpi),
                    TwipsToPixels(kClientHeightTwips, dpi)};
  const RECT outer = OuterRectForDpi(client, kStyle, kExStyle, dpi);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  POINT at{};
  if (topLeft) {
    at = *topLeft;
  } else {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    at = {area.left + (area.right - area.left - width) / 2,
          area.top + (area.bottom - area.top - height) / 2};
  }
  SetWindowPos(window_, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window_, nullptr, TRUE);
}

HWND MainWindow::ControlWindow(Control control) const {
  return controls_[static_cast<std::size_t>(control)];
}

int MainWindow::RunMessageLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) ThrowLastError("Reading the window's messages");
    // Ctrl+C takes the window menu's road, so both copy alike.
    if (IsCopyKey(message, window_)) {
      SendMessageW(window_, WM_SYSCOMMAND, kCopyFindingsCommand, 0);
      continue;
    }
    // The dialog manager moves the focus with Tab and the arrow keys.
    if (window_ && IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void MainWindow::Show() {
  if (!window_) return;
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  lastFocus_ = ControlWindow(Control::cmdStart);
  SetFocus(lastFocus_);
  UpdateWindow(window_);
}

void MainWindow::SetCaption(Control control, const Text& caption) {
  captions_[static_cast<std::size_t>(control)] = caption;
  if (!window_) return;
  const HWND target = ControlWindow(control);
  SetWindowTextW(target, Wide(caption).c_str());
  UpdateWindow(target);
  if (SpecOf(control).role == ControlRole::Finding) liveRegions_.Announce(target);
}

void MainWindow::Repaint() {
  if (window_) RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

Text MainWindow::Caption(Control control) const {
  return captions_[static_cast<std::size_t>(control)];
}

void MainWindow::ShowMessage(const Text& text, MessageKind /*kind*/) { ShowBox(window_, text); }

void MainWindow::SetMousePointer(std::int16_t code) {
  pointer_ = code;
  ApplyPointerNow();
}

void MainWindow::SetScreenMousePointer(std::int16_t code) {
  screenPointer_ = code;
  ApplyPointerNow();
}

std::int16_t MainWindow::EffectivePointer() const {
  // The screen-wide pointer, when set, wins over the window's own.
  return screenPointer_ != kPointerDefault ? screenPointer_ : pointer_;
}

void MainWindow::ApplyPointerNow() const {
  // A busy run handles no WM_SETCURSOR, so the pointer changes here, at once,
  // when the mouse is over the window.
  if (!window_) return;
  POINT at{};
  if (!GetCursorPos(&at)) return;
  const HWND under = WindowFromPoint(at);
  if (under != window_ && !IsChild(window_, under)) return;
  SetCursor(LoadCursorW(nullptr, EffectivePointer() == kPointerHourglass ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::EndProgram() {
  if (window_) DestroyWindow(window_);
}

bool MainWindow::RunInProgress() const {
  return check_ != nullptr && check_->State() == RunState::Running;
}

void MainWindow::OnCommand(int id) {
  // A click can reach the window in the middle of a run: sent by another
  // program while the run waits with its thread served (responsive_wait.h),
  // or posted and handed out by a message box's own loop. Neither Start nor
  // Exit is handled then; the run goes on.
  if (!check_ || RunInProgress()) return;
  if (id == ControlId(Control::cmdStart)) RunCheck();
  if (id == ControlId(Control::cmdExit)) check_->cmdExit_Click();
}

void MainWindow::RunCheck() {
  // The last run's end is no news during this one.
  liveRegions_.ForgetName(ControlWindow(Control::lblProgress));
  check_->cmdStart_Click();
  // A run that ended the program took the window with it.
  if (window_ && check_->State() == RunState::Idle) {
    liveRegions_.AnnounceName(ControlWindow(Control::lblProgress), kRunOver);
  }
}

void MainWindow::OnCopyFindings() {
  if (check_ && check_->State() == RunState::Running) return;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  PutOnClipboard(window_, CopiedFindings(*this, now));
}

void MainWindow::OnClose() {
  // The close box ends the program as Exit does, but not in the middle of a
  // run: a close posted then waits in the queue for the run's end, and one
  // sent then (by another program) is refused.
  if (check_) {
    if (!RunInProgress()) check_->cmdExit_Click();
  } else {
    DestroyWindow(window_);
  }
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  // No exception may cross the window system's frames.
  try {
    return self->OnMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    ShowUntrapped(self->window_, error.what());
  } catch (const ProgramEnded&) {
  } catch (...) {
    ShowUntrapped(self->window_, nullptr);
  }
  return 0;
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const std::optional<LRESULT> handled = Handle(message, wParam, lParam);
  return handled ? *handled : DefWindowProcW(window_, message, wParam, lParam);
}

std::optional<LRESULT> MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_SYSCOMMAND: return OnSysCommand(wParam);
    case WM_DESTROY:
      liveRegions_.Release();
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: OnNcDestroy(); return 0;
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR: return OnSetCursor(lParam);
    case WM_ACTIVATE: return OnActivate(wParam);
    case DM_GETDEFID: return OnGetDefaultId();
    case WM_DPICHANGED: OnDpiChanged(wParam, lParam); return 0;
    // High contrast turned on or off, or other colours: painted anew at once.
    case WM_SYSCOLORCHANGE:
      for (const HWND control : controls_) SendMessageW(control, WM_SYSCOLORCHANGE, 0, 0);
      ApplyColours();
      return std::nullopt;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) ApplyColours();
      return std::nullopt;
    case WM_THEMECHANGED: ApplyColours(); return std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<LRESULT> MainWindow::OnSysCommand(WPARAM wParam) {
  if ((wParam & 0xFFF0) != kCopyFindingsCommand) return std::nullopt;
  OnCopyFindings();
  return 0;
}

void MainWindow::OnNcDestroy() {
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
  controls_.fill(nullptr);
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control) const {
  // The progress label is always empty and overlaps the title: it draws
  // nothing, so the title stays readable.
  if (control == ControlWindow(Control::lblProgress)) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  SetTextColor(dc, colours_.labelText);
  SetBkColor(dc, colours_.labelBack);
  return reinterpret_cast<LRESULT>(labelBrush_.get());
}

std::optional<LRESULT> MainWindow::OnSetCursor(LPARAM lParam) const {
  if (LOWORD(lParam) != HTCLIENT || EffectivePointer() != kPointerHourglass) return std::nullopt;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return TRUE;
}

std::optional<LRESULT> MainWindow::OnActivate(WPARAM wParam) {
  // Give the focus back to the control that had it.
  if (LOWORD(wParam) == WA_INACTIVE) {
    if (const HWND focus = GetFocus(); focus && IsChild(window_, focus)) lastFocus_ = focus;
  } else if (lastFocus_) {
    SetFocus(lastFocus_);
    return 0;
  }
  return std::nullopt;
}

LRESULT MainWindow::OnGetDefaultId() const {
  // Enter presses the button that has the focus, and no other.
  const HWND focus = GetFocus();
  if (focus == ControlWindow(Control::cmdStart) || focus == ControlWindow(Control::cmdExit)) {
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
  }
  return 0;
}

void MainWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
  const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
  const POINT topLeft{suggested->left, suggested->top};
  Layout(HIWORD(wParam), &topLeft);
}

}  // namespace keldo
