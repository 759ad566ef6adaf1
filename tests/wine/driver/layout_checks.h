#pragma once
// The main window as a user first sees it: caption, frame, size and place,
// every control's kind, text, position, size and styles, the keyboard's tab
// order and focus. Fonts cannot be read from another process under Wine
// (WM_GETFONT answers null across processes); see font_reference.h.
#include <windows.h>

#include "driver/check_log.h"

namespace keldo {

void CheckLayout(CheckLog& log, HWND window, DWORD guiThreadId);

// Twips to pixels at `dpi`, to the nearest pixel, halves away from zero.
int Pixels(int twips, int dpi);

}  // namespace keldo
