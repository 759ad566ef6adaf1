#pragma once
// Another process's fonts cannot be read under Wine (WM_GETFONT answers null
// across processes), so they are compared by picture: this process draws the
// same caption in a control of the same kind, size and colours, with the font
// the window must use ("Arial" at the control's point size, regular weight),
// and the suite compares the two screenshots pixel for pixel. A different
// face, size or weight shows up as different pixels.
#include <windows.h>

#include "driver/check_log.h"
#include "driver/screenshot_request.h"

void CheckFontsByPicture(CheckLog& log, HWND window, const ScreenshotRequests& shots);
