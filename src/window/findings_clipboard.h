#pragma once
// The window's findings as text a user can pass on: Ctrl+C in the window and
// "Copy findings" in its window menu put them on the clipboard, as the
// system's own message boxes do with their text.
#include <windows.h>

#include "base/main_view.h"
#include "base/text.h"

namespace keldo {

// The window menu item's command. The system keeps the low four bits of a
// system command for itself, so ours has them clear.
inline constexpr UINT kCopyFindingsCommand = 0x0010;
inline constexpr const wchar_t* kCopyFindingsItem = L"Copy findings";

// Adds "Copy findings" to the window menu of `window`. Throws RunTimeError.
void AddCopyFindingsItem(HWND window);

// Whether `message` is Ctrl+C typed in `window` or in one of its controls
// (the character it gives, ETX, whichever control has the focus).
bool IsCopyKey(const MSG& message, HWND window);

// A first line naming the program and its version, the findings, a last
// line with the local date and time; every line ends in CR LF.
Text CopiedFindings(const MainView& view, const SYSTEMTIME& now);

// Puts `text` on the clipboard as CF_UNICODETEXT. Throws RunTimeError with
// the system's error when the clipboard cannot be had.
void PutOnClipboard(HWND owner, const Text& text);

}  // namespace keldo
