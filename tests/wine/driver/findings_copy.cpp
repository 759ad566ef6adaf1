#include "driver/findings_copy.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "base/controls.h"
#include "platform/windows/findings_clipboard.h"

namespace keldo {

namespace {

constexpr const wchar_t* kSentinel = L"left here by the driver";
constexpr DWORD kCopyWaitMs = 10000;
constexpr DWORD kSendWaitMs = 10000;

bool SetClipboardText(const std::wstring& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return false;
  std::memcpy(GlobalLock(block), text.c_str(), bytes);
  GlobalUnlock(block);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(block);
    return false;
  }
  const bool set = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
  if (!set) GlobalFree(block);
  return set;
}

std::optional<std::wstring> ClipboardText() {
  if (!OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::wstring> text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* at = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = std::wstring(at);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Waits, within a bound, for the clipboard to hold something new.
std::wstring AwaitClipboardChange() {
  const ULONGLONG deadline = GetTickCount64() + kCopyWaitMs;
  std::optional<std::wstring> text;
  do {
    text = ClipboardText();
    if (text && *text != kSentinel) return *text;
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return text.value_or(L"<no text on the clipboard>");
}

std::wstring Stamp(const SYSTEMTIME& t) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

std::wstring Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return Stamp(now);
}

// The findings as the scenario's captions give them: none holds a control
// but the website's line end, which shows nothing.
std::wstring ExpectedFindings(const Scenario& scenario) {
  std::wstring text = std::wstring(L"Check Keldo Support 1.00.0001\r\n");
  for (const Control control : kResultLabelsTopDown) {
    std::wstring caption = ExpectedCaption(scenario, control);
    while (!caption.empty() && (caption.back() == L'\r' || caption.back() == L'\n'))
      caption.pop_back();
    text += caption + L"\r\n";
  }
  return text;
}

void PressCtrlC(HWND window) {
  SetForegroundWindow(window);
  INPUT keys[4] = {};
  const WORD codes[4] = {VK_CONTROL, 'C', 'C', VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = codes[i];
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, keys, sizeof(INPUT));
}

void ChooseMenuItem(HWND window) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_SYSCOMMAND, kCopyFindingsCommand, 0, SMTO_NORMAL, kSendWaitMs,
                      &result);
}

void CheckOneCopy(CheckLog& log, HWND window, const Scenario& scenario, const std::string& way,
                  void (*copy)(HWND)) {
  log.Check(SetClipboardText(kSentinel), way + ": the clipboard is ours first");
  const std::wstring before = Now();
  copy(window);
  const std::wstring got = AwaitClipboardChange();
  const std::wstring after = Now();
  log.Note(way + " left: " + Printable(got));
  const std::wstring findings = ExpectedFindings(scenario);
  log.Equal(findings, got.substr(0, findings.size()), way + ": the program, then the findings");
  const std::wstring last = got.size() > findings.size() ? got.substr(findings.size()) : L"";
  const std::wstring stamp = last.size() == 21 ? last.substr(0, 19) : L"";
  log.Check(last.size() == 21 && last.substr(19) == L"\r\n" && before <= stamp && stamp <= after,
            way + ": the last line is the date and time of the copy");
}

}  // namespace

void CheckCopiesAfterRun(CheckLog& log, HWND window, const Scenario& scenario) {
  wchar_t item[64] = L"";
  GetMenuStringW(GetSystemMenu(window, FALSE), kCopyFindingsCommand, item, 64, MF_BYCOMMAND);
  log.Equal(kCopyFindingsItem, item, "the window menu's item");
  CheckOneCopy(log, window, scenario, "Ctrl+C", PressCtrlC);
  CheckOneCopy(log, window, scenario, "Copy findings", ChooseMenuItem);
}

void CheckNoCopyMidRun(CheckLog& log, HWND window) {
  log.Check(SetClipboardText(kSentinel), "mid-run: the clipboard is ours first");
  // Sent, so it is handled (by the open box's loop) before this returns.
  ChooseMenuItem(window);
  log.Equal(kSentinel, ClipboardText().value_or(L"<no text on the clipboard>"),
            "mid-run: Copy findings leaves the clipboard alone");
}

}  // namespace keldo
