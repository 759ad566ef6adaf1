#include "driver/font_reference.h"

#include <string>
#include <vector>

#include "driver/layout_checks.h"
#include "driver/scenarios.h"
#include "driver/window_probe.h"

namespace keldo {

namespace {

constexpr const wchar_t* kReferenceClass = L"KeldoFontReference";

LRESULT CALLBACK ReferenceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CTLCOLORSTATIC) {
    // The label colours the program gives its labels.
    const HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterReferenceClass() {
  // Registered once per process; a second registration fails harmlessly.
  WNDCLASSW reference{};
  reference.lpfnWndProc = ReferenceProcedure;
  reference.hInstance = GetModuleHandleW(nullptr);
  reference.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  reference.lpszClassName = kReferenceClass;
  RegisterClassW(&reference);
}

}  // namespace

RECT DrawReference(const ControlSpec& entry, int dpi, HFONT font, ReferenceWindow& frame) {
  RegisterReferenceClass();
  const int width = Pixels(entry.left + entry.width, dpi) - Pixels(entry.left, dpi);
  const int height = Pixels(entry.top + entry.height, dpi) - Pixels(entry.top, dpi);
  const bool label = entry.kind == ControlKind::Label;
  frame.reset(CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kReferenceClass, L"", WS_POPUP,
                              0, 0, width, height, nullptr, nullptr, GetModuleHandleW(nullptr),
                              nullptr));
  const std::wstring caption = DesignCaption(entry.id);
  const HWND control =
      CreateWindowExW(0, label ? L"STATIC" : L"BUTTON", caption.c_str(),
                      WS_CHILD | WS_VISIBLE | (label ? SS_LEFT | SS_NOPREFIX : BS_PUSHBUTTON), 0, 0,
                      width, height, frame.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ShowWindow(frame.get(), SW_SHOWNOACTIVATE);
  UpdateWindow(frame.get());
  RECT rect{};
  GetWindowRect(control, &rect);
  return rect;
}

void CheckFontsByPicture(CheckLog& log, HWND window, const ScreenshotRequests& shots) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);

  // One control of each point size; Start is left out, its focus frame
  // would differ from a reference that has no focus.
  for (const Control control : {Control::lblSerial, Control::lblTitle, Control::cmdExit}) {
    const ControlSpec& entry = SpecOf(control);
    const std::string name = "font-" + std::string(entry.name);
    RECT drawn{};
    GetWindowRect(Child(window, control), &drawn);
    log.Check(shots.Take(name, drawn), name + " screenshot");
    // Points to pixels at the screen's DPI, rounded, as the character height.
    const GdiObject font(CreateFontW(-((entry.centiPoints * dpi + 3600) / 7200), 0, 0, 0, FW_NORMAL,
                                     FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                     L"Arial"));
    ReferenceWindow frame;
    log.Check(shots.Take(name + "-reference",
                         DrawReference(entry, dpi, static_cast<HFONT>(font.get()), frame)),
              name + " reference drawn with Arial at " + std::to_string(entry.centiPoints / 100) +
                  "." + std::to_string(entry.centiPoints % 100) + " points");
  }
}

}  // namespace keldo
