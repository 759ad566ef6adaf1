#include "driver/findings_copy.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "base/controls.h"
#include "base/program_version.h"
#include "window/findings_clipboard.h"

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
  std::wstring text = std::wstring(L"Check Keldo Support " KELDO_PROGRAM_VERSION "\r\n");
  for (const Control control : kResultLabelsTopDown) {
    std::wstring caption = ExpectedCaption(scenario, control);
    while (!caption.empty() && (caption.back() == L'\r' || caption.back() == L'\n'))
      caption.pop_back();
    text += caption + L"\r\n";
  }
  return text;
}

// Keys typed into the program's window, as a user types them.
void Type(HWND window, std::initializer_list<std::pair<WORD, bool>> keys) {
  SetForegroundWindow(window);
  std::vector<INPUT> inputs;
  for (const auto& [code, up] : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PressCtrlC(HWND window) {
  Type(window, {{VK_CONTROL, false}, {'C', false}, {'C', true}, {VK_CONTROL, true}});
}

// Alt+Space opens the window menu on its first item; Up wraps round to the
// last, "Copy findings", and Enter chooses it.
void PickMenuItem(HWND window) {
  Type(window, {{VK_MENU, false}, {VK_SPACE, false}, {VK_SPACE, true}, {VK_MENU, true}});
  // Keys typed before the menu's own loop runs would go to the window.
  const ULONGLONG deadline = GetTickCount64() + kCopyWaitMs;
  while (!IsWindowVisible(FindWindowW(L"#32768", nullptr)) && GetTickCount64() < deadline)
    Sleep(20);
  Type(window, {{VK_UP, false}, {VK_UP, true}, {VK_RETURN, false}, {VK_RETURN, true}});
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
  CheckOneCopy(log, window, scenario, "Ctrl+C", PressCtrlC);
  CheckOneCopy(log, window, scenario, "Copy findings in the window menu", PickMenuItem);
}

void CheckNoCopyMidRun(CheckLog& log, HWND window) {
  log.Check(SetClipboardText(kSentinel), "mid-run: the clipboard is ours first");
  // Sent, so it is handled (by the open box's loop) before this returns.
  ChooseMenuItem(window);
  log.Equal(kSentinel, ClipboardText().value_or(L"<no text on the clipboard>"),
            "mid-run: Copy findings leaves the clipboard alone");
}

}  // namespace keldo
