#pragma once
// Reading another process's windows the way a user sees them: texts,
// geometry, styles and its message boxes. Nothing here sends a message that
// waits for the program, so a program busy in its check run cannot block it.
#include <windows.h>

#include <string>
#include <vector>

#include "base/controls.h"

namespace keldo {

// Text, class and rectangle of a window; the rectangle relative to the
// parent's client area for a child, in screen pixels for a top-level window.
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
RECT RectInParent(HWND child);

// Children in z-order.
std::vector<HWND> ChildrenOf(HWND parent);
// The main window's control (by id), or null while they are not all there.
HWND Child(HWND window, Control control);

// The visible top-level window of `processId` with `caption` and at least
// `children` child windows, or null when none shows up within `waitMs`.
HWND AwaitMainWindow(HANDLE process, DWORD processId, const std::wstring& caption,
                     std::size_t children, DWORD waitMs);

// A visible message box ("#32770") of `processId`, or null.
HWND FindMessageBox(DWORD processId);

struct MessageBoxView {
  std::wstring title;
  std::wstring text;                      // its child 0xFFFF
  std::vector<std::wstring> buttonTexts;  // every push button, in z-order
  bool hasIcon = false;
  HWND owner = nullptr;
  RECT rect{};
};
// Waits (bounded) for the box's text and buttons to exist, then reads it.
MessageBoxView ReadMessageBox(HWND box);
// Presses its OK button as a click would.
void PressOk(HWND box);

bool HasEnded(HANDLE process, DWORD waitMs);

}  // namespace keldo
