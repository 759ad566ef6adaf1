#pragma once
// The main window as a user first sees it: caption, frame, size and place,
// every control's kind, text, position, size and styles, the keyboard's tab
// order and focus, and which controls share a font.
#include <windows.h>

#include "driver/check_log.h"

void CheckLayout(CheckLog& log, HWND window, DWORD guiThreadId);

// Twips to pixels at `dpi`, to the nearest pixel, halves away from zero.
int Pixels(int twips, int dpi);
