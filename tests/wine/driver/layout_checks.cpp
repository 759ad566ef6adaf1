#include "driver/layout_checks.h"

#include <cstdlib>
#include <string>

#include "base/controls.h"
#include "driver/scenarios.h"
#include "driver/window_probe.h"

namespace keldo {

namespace {

std::string NameOf(Control control) { return std::string(SpecOf(control).name); }

bool SameClass(const std::wstring& got, const wchar_t* expected) {
  return CompareStringOrdinal(got.c_str(), -1, expected, -1, TRUE) == CSTR_EQUAL;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void CheckFrame(CheckLog& log, HWND window, int dpi) {
  log.Equal(L"Check Keldo Support", TextOf(window), "window caption");
  RECT client{};
  GetClientRect(window, &client);
  log.Equal(Pixels(kClientWidthTwips, dpi), client.right, "client width in pixels");
  log.Equal(Pixels(kClientHeightTwips, dpi), client.bottom, "client height in pixels");

  const LONG style = GetWindowLongW(window, GWL_STYLE);
  log.Check((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU),
            "title bar with the window menu and its close box");
  log.Check(!(style & WS_THICKFRAME), "fixed frame: no sizing border");
  log.Check(!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)), "no minimise or maximise box");

  RECT outer{}, work{};
  GetWindowRect(window, &outer);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const long dx = (outer.left + outer.right) - (work.left + work.right);
  const long dy = (outer.top + outer.bottom) - (work.top + work.bottom);
  // Twice the offset of the centres: odd sizes may leave half a pixel.
  log.Check(
      std::labs(dx) <= 2 && std::labs(dy) <= 2,
      "centred on the screen (window " + Describe(outer) + ", work area " + Describe(work) + ")");
}

void CheckControls(CheckLog& log, HWND window, int dpi) {
  const std::vector<HWND> children = ChildrenOf(window);
  if (!log.Equal(static_cast<long long>(kControlCount), static_cast<long long>(children.size()),
                 "number of controls")) {
    return;
  }
  // Each control by its id: the title lies above the progress label.
  for (const ControlSpec& entry : kControls) {
    const HWND child = Child(window, entry.id);
    const std::string name =
        NameOf(entry.id) + " (tab " + std::to_string(static_cast<int>(entry.id)) + ")";
    const bool label = entry.kind == ControlKind::Label;
    const std::wstring kind = ClassOf(child);
    log.Check(SameClass(kind, label ? L"Static" : L"Button"),
              name + " is a " + (label ? "label" : "push button"));
    log.Equal(DesignCaption(entry.id), TextOf(child), name + " design caption");

    const RECT expected{Pixels(entry.left, dpi), Pixels(entry.top, dpi),
                        Pixels(entry.left + entry.width, dpi),
                        Pixels(entry.top + entry.height, dpi)};
    const RECT got = RectInParent(child);
    log.Check(EqualRect(&expected, &got) != FALSE,
              name + " at " + Describe(expected) + " pixels, got " + Describe(got));

    const LONG style = GetWindowLongW(child, GWL_STYLE);
    log.Check((style & WS_VISIBLE) && !(style & WS_DISABLED), name + " visible and enabled");
    if (label) {
      log.Check((style & SS_TYPEMASK) == SS_LEFT && (style & SS_NOPREFIX) &&
                    !(style & WS_TABSTOP) && !(style & WS_BORDER),
                name + " left-aligned, no access keys, no tab stop, no border");
    } else {
      log.Check((style & BS_TYPEMASK) == BS_PUSHBUTTON && (style & WS_TABSTOP),
                name + " a plain push button (not default) with a tab stop");
    }
  }

  const HWND start = Child(window, Control::cmdStart);
  const HWND exit = Child(window, Control::cmdExit);
  log.Check(GetNextDlgTabItem(window, start, FALSE) == exit, "Tab goes from Start to Exit");
  log.Check(GetNextDlgTabItem(window, exit, FALSE) == start, "Tab goes from Exit back to Start");
}

}  // namespace

int Pixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>((scaled + 720) / 1440);  // twips are never negative here
}

void CheckLayout(CheckLog& log, HWND window, DWORD guiThreadId) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  log.Equal(96, dpi, "the screen runs at 96 DPI, where 15 twips make a pixel");

  CheckFrame(log, window, dpi);
  CheckControls(log, window, dpi);

  // Showing the window and focusing Start are two steps: give the second
  // its moment, bounded.
  const HWND start = Child(window, Control::cmdStart);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  const ULONGLONG deadline = GetTickCount64() + 5000;
  while (!(GetGUIThreadInfo(guiThreadId, &gui) && gui.hwndFocus == start) &&
         GetTickCount64() < deadline) {
    Sleep(20);
  }
  log.Check(start && gui.hwndFocus == start, "Start has the keyboard focus");
}

}  // namespace keldo
