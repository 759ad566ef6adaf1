#pragma once
// The window's findings on the clipboard: Ctrl+C and the window menu's
// "Copy findings", read back as CF_UNICODETEXT.
#include <windows.h>

#include <string>

#include "driver/check_log.h"
#include "driver/scenarios.h"

namespace keldo {

// After a run: each way of copying leaves exactly the findings of
// `scenario`, between the program's name and the date and time.
void CheckCopiesAfterRun(CheckLog& log, HWND window, const Scenario& scenario);

// While a run is on (a message box of the run open): the copy changes
// nothing on the clipboard.
void CheckNoCopyMidRun(CheckLog& log, HWND window);

}  // namespace keldo
