// keldo_access_probe.exe events|contrast <CheckKeldoSupport.exe> <shots folder>
// The window as a screen reader and a high-contrast user meet it, through
// Active Accessibility from outside the program. events: the live-region
// events of one run and what a point finds; contrast: the window with the
// test seam on and off, switched while it runs (pictures checked by
// lib/access.sh). One "ok"/"not ok" line per check.
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "base/controls.h"
#include "driver/check_log.h"
#include "driver/screenshot_request.h"
#include "driver/window_probe.h"

using namespace keldo;

namespace {

// MinGW's import library gives IID_IAccessible no value of its own.
constexpr IID kAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Event {
  HWND window;
  LONG object, child;
};
std::vector<Event> events;

std::wstring NameOf(IAccessible* object, const VARIANT& child) {
  BSTR name = nullptr;
  std::wstring text = object->get_accName(child, &name) == S_OK && name ? name : L"";
  SysFreeString(name);
  return text;
}

// The accessible name of a window's client, as a screen reader asks for it.
std::wstring AccessibleName(HWND window) {
  IAccessible* accessible = nullptr;
  if (AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kAccessible,
                                 reinterpret_cast<void**>(&accessible)) != S_OK) {
    return L"(no accessible object)";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  std::wstring name = NameOf(accessible, self);
  accessible->Release();
  return name;
}

// Only noted here: asking the program from inside the hook would let the
// next event in before this one is noted.
void CALLBACK Seen(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (event == EVENT_OBJECT_LIVEREGIONCHANGED) events.push_back({window, object, child});
}

void RunAndListen(HWND window, DWORD processId) {
  const HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Seen, processId, 0, WINEVENT_OUTOFCONTEXT);
  std::atomic<bool> done{false};
  std::thread click([&] {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(Child(window, Control::cmdStart), BM_CLICK, 0, 0, SMTO_NORMAL, 90000,
                        &result);
    done = true;
  });
  while (!done) PumpMessagesFor(50);
  click.join();
  // Events come to this thread on their own; wait for the last, bounded.
  for (int i = 0; i < 40 && events.size() < kResultLabelsTopDown.size() + 1; ++i) {
    PumpMessagesFor(50);
  }
  UnhookWinEvent(hook);
}

void CheckEvents(CheckLog& log, HWND window) {
  log.Equal(static_cast<long long>(kResultLabelsTopDown.size() + 1),
            static_cast<long long>(events.size()), "live-region events in one run");
  std::vector<HWND> seen;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    const std::wstring text = TextOf(e.window);
    log.Check(e.object == OBJID_CLIENT && e.child == CHILDID_SELF,
              "event " + std::to_string(i + 1) + " is of a window's client: " + Printable(text));
    if (i + 1 == events.size()) {
      log.Check(e.window == Child(window, Control::lblProgress) && text.empty(),
                "the last event, the run's end, is the progress label's, still empty on screen");
      break;
    }
    bool result = false;
    for (const Control c : kResultLabelsTopDown) result |= Child(window, c) == e.window;
    log.Check(result && std::find(seen.begin(), seen.end(), e.window) == seen.end(),
              "event " + std::to_string(i + 1) + " is a result label's, its first");
    log.Equal(text, AccessibleName(e.window),
              "event " + std::to_string(i + 1) + "'s label is named by its new caption");
    seen.push_back(e.window);
  }
}

void CheckPointing(CheckLog& log, HWND window) {
  for (const ControlSpec& entry : kControls) {
    const HWND control = Child(window, entry.id);
    if (entry.kind != ControlKind::Label || TextOf(control).empty()) continue;
    RECT rect{};
    GetWindowRect(control, &rect);
    IAccessible* found = nullptr;
    VARIANT child{};
    HWND foundWindow = nullptr;
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (AccessibleObjectFromPoint(centre, &found, &child) != S_OK) found = nullptr;
    if (found) WindowFromAccessibleObject(found, &foundWindow);
    const std::wstring name = found ? NameOf(found, child) : L"";
    log.Check(foundWindow == control && child.vt == VT_I4 && child.lVal == CHILDID_SELF &&
                  name == TextOf(control),
              "the centre of " + std::string(entry.name) + " finds it: " + Printable(name));
    if (found) found->Release();
  }
}

bool SetSeam(DWORD on) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Keldo Support\\Check Keldo Support\\Test",
                         L"HighContrast", REG_DWORD, &on, sizeof on) == ERROR_SUCCESS;
}

void CheckContrast(CheckLog& log, HWND window, const ScreenshotRequests& shots) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Child(window, Control::cmdStart), BM_CLICK, 0, 0, SMTO_NORMAL, 90000,
                      &result);
  std::vector<std::wstring> captions;
  for (const ControlSpec& entry : kControls) captions.push_back(TextOf(Child(window, entry.id)));
  // The client area: the frame's icon is the program's, in any contrast.
  RECT outer{};
  GetClientRect(window, &outer);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&outer), 2);
  log.Check(shots.Take("contrast-start-high", outer), "picture in high contrast from the start");
  for (const Control c : kResultLabelsTopDown) {
    RECT rect{};
    GetWindowRect(Child(window, c), &rect);
    log.Check(shots.Take("contrast-label-" + std::string(SpecOf(c).name), rect), "label picture");
  }
  // Each message that tells of a change, with the seam turned the other way.
  const struct {
    UINT message;
    WPARAM wParam;
    DWORD high;
    const char* name;
  } switches[] = {{WM_SYSCOLORCHANGE, 0, 0, "syscolorchange-standard"},
                  {WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 1, "settingchange-high"},
                  {WM_THEMECHANGED, 0, 0, "themechanged-standard"}};
  for (const auto& s : switches) {
    log.Check(SetSeam(s.high) &&
                  SendMessageTimeoutW(window, s.message, s.wParam, 0, SMTO_NORMAL, 10000, &result),
              std::string("the window told: ") + s.name);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    log.Check(shots.Take(std::string("contrast-") + s.name, outer),
              "picture " + std::string(s.name));
  }
  for (const ControlSpec& entry : kControls) {
    log.Equal(captions[static_cast<std::size_t>(entry.id)], TextOf(Child(window, entry.id)),
              std::string(entry.name) + " keeps its caption through the switches");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 64;
  const std::wstring mode = argv[1], path = argv[2];
  CheckLog log("access-" + std::string(mode.begin(), mode.end()));
  if (mode == L"contrast" && !log.Check(SetSeam(1), "the high-contrast test seam set")) return 1;
  std::wstring commandLine = L"\"" + path + L"\"";
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    return 75;
  }
  CloseHandle(info.hThread);
  const HWND window = AwaitMainWindow(info.hProcess, info.dwProcessId, L"Check Keldo Support",
                                      kControlCount, 30000);
  if (!window) return 75;
  WaitForInputIdle(info.hProcess, 30000);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (mode == L"events") {
    RunAndListen(window, info.dwProcessId);
    CheckEvents(log, window);
    CheckPointing(log, window);
  } else {
    CheckContrast(log, window, ScreenshotRequests(argv[3]));
  }
  PostMessageW(Child(window, Control::cmdExit), BM_CLICK, 0, 0);
  log.Check(HasEnded(info.hProcess, 10000), "Exit ends the program");
  TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hProcess);
  return log.Failed() ? 1 : 0;
}
