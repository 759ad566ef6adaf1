#include "window/findings_clipboard.h"

#include <cstdio>
#include <cstring>

#include "base/controls.h"
#include "base/findings_text.h"
#include "base/program_version.h"
#include "platform/windows/win_error.h"

namespace keldo {

namespace {

constexpr wchar_t kCtrlC = 0x03;
// Another program may hold the clipboard for a moment (a clipboard viewer
// reading it); waiting a little longer than that is better than failing.
constexpr int kOpenAttempts = 20;
constexpr DWORD kOpenRetryMs = 25;

Text DateAndTime(const SYSTEMTIME& now) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  return FromUtf8(text);
}

void OpenClipboardOf(HWND owner) {
  for (int attempt = 1;; ++attempt) {
    if (OpenClipboard(owner)) return;
    if (attempt == kOpenAttempts) ThrowLastError("Opening the clipboard");
    Sleep(kOpenRetryMs);
  }
}

// A movable global block holding `text` and its terminating NUL, as the
// clipboard wants it.
HGLOBAL TextBlock(const Text& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) ThrowLastError("Copying the findings");
  void* at = GlobalLock(block);
  if (!at) {
    const DWORD error = GetLastError();
    GlobalFree(block);
    ThrowError("Copying the findings", error);
  }
  std::memcpy(at, text.c_str(), bytes);
  GlobalUnlock(block);
  return block;
}

}  // namespace

void AddCopyFindingsItem(HWND window) {
  const HMENU menu = GetSystemMenu(window, FALSE);
  if (!menu) ThrowLastError("Reading the window menu");
  if (!AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) ||
      !AppendMenuW(menu, MF_STRING, kCopyFindingsCommand, kCopyFindingsItem)) {
    ThrowLastError("Adding to the window menu");
  }
}

bool IsCopyKey(const MSG& message, HWND window) {
  return message.message == WM_CHAR && message.wParam == kCtrlC && window &&
         (message.hwnd == window || IsChild(window, message.hwnd));
}

Text CopiedFindings(const MainView& view, const SYSTEMTIME& now) {
  return Text(kAppTitle) + u" " + kProgramVersion + u"\r\n" + FindingsText(view, u"\r\n") +
         DateAndTime(now) + u"\r\n";
}

void PutOnClipboard(HWND owner, const Text& text) {
  const HGLOBAL block = TextBlock(text);
  try {
    OpenClipboardOf(owner);
  } catch (...) {
    GlobalFree(block);
    throw;
  }
  DWORD error = 0;
  if (!EmptyClipboard()) {
    error = GetLastError();
  } else if (!SetClipboardData(CF_UNICODETEXT, block)) {
    error = GetLastError();
  }
  CloseClipboard();
  // The clipboard owns the block once SetClipboardData has taken it.
  if (error != 0) {
    GlobalFree(block);
    ThrowError("Putting the findings on the clipboard", error);
  }
}

}  // namespace keldo
