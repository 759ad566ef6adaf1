#pragma once
// The window at a display scale the suite set for the prefix (100 %, 150 %,
// 200 %): its geometry scaled from the twips table, every caption fitting its
// label on one line, and the title drawn whole. Captions are measured with
// GetTextExtentPoint32W in a font made here as the program makes its own,
// since another process's font cannot be read.
#include <windows.h>

#include <string>

#include "driver/check_log.h"
#include "driver/screenshot_request.h"

namespace keldo {

// The DPI the suite set is the one this process and the program run at, and
// the client area and every control are the twips table scaled to it.
void CheckScaledLayout(CheckLog& log, HWND window, UINT dpi);

// Every label that shows text holds it on one line within its width.
void CheckCaptionsFit(CheckLog& log, HWND window, UINT dpi, const std::string& when);

// The title as drawn on the window against the same caption drawn here in a
// label of its own: the suite compares the two pictures pixel for pixel, so
// anything drawn over the title (the progress label lies on it) shows.
void CheckTitleReadable(CheckLog& log, HWND window, UINT dpi, const ScreenshotRequests& shots);

}  // namespace keldo
