#pragma once
// DPI functions of Windows 10 (1607) and later, looked up at run time so
// that the program still starts on older systems, which scale it for us.
#include <windows.h>

namespace keldo {

UINT WindowDpi(HWND window);

// The outer size of a window whose client area is `client`.
RECT OuterRectForDpi(RECT client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace keldo
