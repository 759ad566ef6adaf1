#include "driver/scale_checks.h"

#include <algorithm>
#include <vector>

#include "base/controls.h"
#include "driver/font_reference.h"
#include "driver/layout_checks.h"
#include "driver/window_probe.h"
#include "window/control_font.h"

namespace keldo {

namespace {

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// The lines a label breaks its caption into before any word wrap: the static
// control breaks at CR LF, CR and LF. Line ends at the very end draw nothing.
std::vector<std::wstring> LinesOf(const std::wstring& caption) {
  std::vector<std::wstring> lines(1);
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const wchar_t c = caption[i];
    if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < caption.size() && caption[i + 1] == L'\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() {
    if (dc) ReleaseDC(nullptr, dc);
  }
};

}  // namespace

void CheckScaledLayout(CheckLog& log, HWND window, UINT dpi) {
  log.Equal(dpi, GetDpiForSystem(), "GetDpiForSystem answers the DPI set in the prefix");
  // GetDpiForWindow is not asked: under Wine its answer for another
  // process's window is now and then 96 whatever the scale. The geometry
  // below shows the DPI the program laid itself out at.

  RECT client{};
  GetClientRect(window, &client);
  log.Equal(Pixels(kClientWidthTwips, dpi), client.right,
            "client width in pixels at " + std::to_string(dpi));
  log.Equal(Pixels(kClientHeightTwips, dpi), client.bottom,
            "client height in pixels at " + std::to_string(dpi));

  const std::vector<HWND> children = ChildrenOf(window);
  if (!log.Equal(static_cast<long long>(kControlCount), static_cast<long long>(children.size()),
                 "number of controls")) {
    return;
  }
  for (const ControlSpec& entry : kControls) {
    // Each edge rounded on its own, to the nearest pixel, halves away from zero.
    const RECT expected{Pixels(entry.left, dpi), Pixels(entry.top, dpi),
                        Pixels(entry.left + entry.width, dpi),
                        Pixels(entry.top + entry.height, dpi)};
    const RECT got = RectInParent(Child(window, entry.id));
    log.Check(EqualRect(&expected, &got) != FALSE,
              std::string(entry.name) + " at " + Describe(expected) + " pixels at " +
                  std::to_string(dpi) + ", got " + Describe(got));
  }
}

void CheckCaptionsFit(CheckLog& log, HWND window, UINT dpi, const std::string& when) {
  const std::vector<HWND> children = ChildrenOf(window);
  if (children.size() != kControlCount) {
    log.Check(false, "captions fit " + when + ": the window has " +
                         std::to_string(children.size()) + " controls");
    return;
  }
  const ScreenDc screen;
  for (const ControlSpec& entry : kControls) {
    if (entry.kind != ControlKind::Label) continue;
    const HWND label = Child(window, entry.id);
    const std::wstring caption = TextOf(label);
    if (caption.empty()) continue;
    const GdiObject font = CreateControlFont(entry.centiPoints, dpi);
    const HGDIOBJ previous = SelectObject(screen.dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.dc, &metrics);
    const std::vector<std::wstring> lines = LinesOf(caption);
    LONG widest = 0;
    for (const std::wstring& line : lines) {
      SIZE extent{};
      GetTextExtentPoint32W(screen.dc, line.c_str(), static_cast<int>(line.size()), &extent);
      widest = std::max(widest, extent.cx);
    }
    SelectObject(screen.dc, previous);

    const RECT box = RectInParent(label);
    const LONG width = box.right - box.left, height = box.bottom - box.top;
    const bool fits = font && lines.size() == 1 && widest <= width && metrics.tmHeight <= height;
    log.Check(fits, std::string(entry.name) + " " + when + ": " + Printable(caption) + " fits at " +
                        std::to_string(dpi) + " DPI (" + std::to_string(widest) + " of " +
                        std::to_string(width) + " px wide, " + std::to_string(lines.size()) +
                        " line of " + std::to_string(metrics.tmHeight) + " of " +
                        std::to_string(height) + " px high)");
  }
}

void CheckTitleReadable(CheckLog& log, HWND window, UINT dpi, const ScreenshotRequests& shots) {
  const std::vector<HWND> children = ChildrenOf(window);
  if (children.size() != kControlCount) return;
  const std::string name = "title-" + std::to_string(dpi);
  RECT drawn{};
  GetWindowRect(Child(window, Control::lblTitle), &drawn);
  log.Check(shots.Take(name, drawn), name + " screenshot");
  const ControlSpec& entry = SpecOf(Control::lblTitle);
  const GdiObject font = CreateControlFont(entry.centiPoints, dpi);
  ReferenceWindow frame;
  log.Check(
      font && shots.Take(name + "-reference", DrawReference(entry, static_cast<int>(dpi),
                                                            static_cast<HFONT>(font.get()), frame)),
      name + " reference: the title alone in a label of its own");
}

}  // namespace keldo
