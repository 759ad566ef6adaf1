#pragma once
// Another process's fonts cannot be read under Wine (WM_GETFONT answers null
// across processes), so they are compared by picture: this process draws the
// same caption in a control of the same kind, size and colours, with the font
// the window must use ("Arial" at the control's point size, regular weight),
// and the suite compares the two screenshots pixel for pixel. A different
// face, size or weight shows up as different pixels.
#include <windows.h>

#include "base/controls.h"
#include "driver/check_log.h"
#include "driver/screenshot_request.h"
#include "platform/windows/unique_handle.h"

namespace keldo {

void CheckFontsByPicture(CheckLog& log, HWND window, const ScreenshotRequests& shots);

struct ReferenceWindowCloser {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using ReferenceWindow = UniqueHandle<HWND, ReferenceWindowCloser>;

// A control like `entry`, sized for `dpi`, showing its design caption in
// `font`, alone at the screen's top-left corner in a frameless window that
// never takes the focus; its rectangle on the screen. It stays drawn while
// `frame` holds its window.
RECT DrawReference(const ControlSpec& entry, int dpi, HFONT font, ReferenceWindow& frame);

}  // namespace keldo
