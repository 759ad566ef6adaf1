#pragma once
// The font every control of the window is drawn in: Arial, regular, at the
// control's point size for the window's DPI. One maker, so that whoever
// measures a caption measures it in the font the window draws it in.
#include <windows.h>

#include "platform/windows/unique_handle.h"

namespace keldo {

// Null when the font cannot be made; GetLastError() tells why.
GdiObject CreateControlFont(int centiPoints, UINT dpi);

}  // namespace keldo
