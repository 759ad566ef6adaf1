#include "driver/window_probe.h"

#include "window/main_window.h"

namespace keldo {

namespace {

// Captions in this program are short; a bound keeps a broken one harmless.
constexpr int kMaxText = 4096;
// The text child of a message box.
constexpr int kBoxTextId = 0xFFFF;

struct Search {
  DWORD processId;
  const std::wstring* caption;
  std::size_t children;
  HWND found;
};

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

BOOL CALLBACK MatchMain(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  if (ProcessOf(window) != search.processId || !IsWindowVisible(window)) return TRUE;
  if (TextOf(window) != *search.caption || ChildrenOf(window).size() < search.children) return TRUE;
  search.found = window;
  return FALSE;
}

BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  if (ProcessOf(window) != search.processId || !IsWindowVisible(window)) return TRUE;
  if (ClassOf(window) != L"#32770") return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

std::wstring TextOf(HWND window) {
  // GetWindowTextW reads another process's window text without asking it.
  wchar_t buffer[kMaxText];
  const int length = GetWindowTextW(window, buffer, kMaxText);
  return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256];
  const int length = GetClassNameW(window, buffer, 256);
  return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

RECT RectInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  if (const HWND parent = GetParent(child);
      parent && (GetWindowLongW(child, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND Child(HWND window, Control control) {
  return ChildrenOf(window).size() == kControlCount ? GetDlgItem(window, ControlId(control))
                                                    : nullptr;
}

HWND AwaitMainWindow(HANDLE process, DWORD processId, const std::wstring& caption,
                     std::size_t children, DWORD waitMs) {
  // The window can exist before its controls do: wait for all of them.
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  do {
    Search search{processId, &caption, children, nullptr};
    EnumWindows(MatchMain, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (HasEnded(process, 0)) return nullptr;
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return nullptr;
}

HWND FindMessageBox(DWORD processId) {
  Search search{processId, nullptr, 0, nullptr};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

MessageBoxView ReadMessageBox(HWND box) {
  const ULONGLONG deadline = GetTickCount64() + 5000;
  while (!(GetDlgItem(box, kBoxTextId) && GetDlgItem(box, IDOK)) && GetTickCount64() < deadline) {
    Sleep(20);
  }
  MessageBoxView view;
  view.title = TextOf(box);
  view.text = TextOf(GetDlgItem(box, kBoxTextId));
  view.owner = GetWindow(box, GW_OWNER);
  GetWindowRect(box, &view.rect);
  for (const HWND child : ChildrenOf(box)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (!(style & WS_VISIBLE)) continue;
    const std::wstring kind = ClassOf(child);
    if (CompareStringOrdinal(kind.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL) {
      view.buttonTexts.push_back(TextOf(child));
    } else if (CompareStringOrdinal(kind.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL &&
               (style & SS_TYPEMASK) == SS_ICON) {
      // The box keeps an icon control even without an icon: ask what it shows.
      DWORD_PTR icon = 0;
      SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
      if (icon) view.hasIcon = true;
    }
  }
  return view;
}

void PressOk(HWND box) {
  // Posted: the box's own thread handles it, as it would a click.
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

bool HasEnded(HANDLE process, DWORD waitMs) {
  return WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0;
}

}  // namespace keldo
