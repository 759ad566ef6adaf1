// keldo_access_probe.exe <CheckKeldoSupport.exe> <shots folder>: the window, in high contrast
// by its test seam, through Active Accessibility from outside (the live-region events of a
// run, what the centre of each captioned label finds), then pictured as the colours switch.
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <thread>

#include "driver/check_log.h"
#include "driver/program_start.h"
#include "driver/screenshot_request.h"
#include "driver/window_probe.h"

using namespace keldo;

namespace {

std::vector<HWND> heard;  // the client of each live-region event, in order

void CALLBACK Heard(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  heard.push_back(object == OBJID_CLIENT && child == CHILDID_SELF ? window : nullptr);
}

// Whether a point on the centre of `control` finds it, and the name of what it finds.
bool PointFinds(HWND control, std::wstring& name) {
  RECT r{};
  GetWindowRect(control, &r);
  IAccessible* found = nullptr;
  VARIANT child{};
  HWND at = nullptr;
  BSTR text = nullptr;
  if (AccessibleObjectFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, &found, &child) ==
      S_OK) {
    WindowFromAccessibleObject(found, &at);
    found->get_accName(child, &text);
    found->Release();
  }
  name = text ? text : L"";
  SysFreeString(text);
  return at == control && child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

void CheckEvents(CheckLog& log, HWND window) {
  DWORD_PTR result = 0;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr, Heard,
                  processId, 0, WINEVENT_OUTOFCONTEXT);
  std::thread click(SendMessageTimeoutW, Child(window, Control::cmdStart), BM_CLICK, 0, 0,
                    SMTO_NORMAL, 90000, &result);
  // The events reach this thread's queue, the last maybe after the run.
  for (int i = 0; i < 400 && heard.size() < 10; ++i) PumpMessagesFor(50);
  click.join();
  log.Equal(10, static_cast<long long>(heard.size()), "live-region events in one run");
  for (std::size_t i = 0; i < heard.size(); ++i) {
    std::wstring name;
    const bool found = PointFinds(heard[i], name);
    const bool once = std::count(heard.begin(), heard.end(), heard[i]) == 1;
    log.Check(i < 9 ? std::any_of(kResultLabelsTopDown.begin(), kResultLabelsTopDown.end(),
                                  [&](Control c) { return Child(window, c) == heard[i]; }) &&
                          once && found && name == TextOf(heard[i])
                    : heard[i] == Child(window, Control::lblProgress) && TextOf(heard[i]).empty(),
              "event " + std::to_string(i + 1) +
                  (i < 9 ? ": a result label, once, its centre finds it named " + Printable(name)
                         : ": the end, the progress label, empty on the screen"));
  }
  std::wstring title;
  const bool found = PointFinds(Child(window, Control::lblTitle), title);
  log.Check(found && title == TextOf(Child(window, Control::lblTitle)),
            "the centre of the title finds it: " + Printable(title));
}

bool SetSeam(DWORD high) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Keldo Support\\Check Keldo Support\\Test",
                         L"HighContrast", REG_DWORD, &high, sizeof high) == ERROR_SUCCESS;
}

void CheckSwitches(CheckLog& log, HWND window, const ScreenshotRequests& shots) {
  std::vector<std::wstring> before, after;
  for (const ControlSpec& entry : kControls) before.push_back(TextOf(Child(window, entry.id)));
  RECT area{};
  GetClientRect(window, &area);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
  const UINT messages[] = {0, WM_SYSCOLORCHANGE, WM_SETTINGCHANGE, WM_THEMECHANGED};
  const std::string names[] = {"start-high", "syscolorchange-standard", "settingchange-high",
                               "themechanged-standard"};
  for (int i = 0; i < 4; ++i) {
    DWORD_PTR result = 0;
    const WPARAM what = messages[i] == WM_SETTINGCHANGE ? SPI_SETHIGHCONTRAST : 0;
    log.Check(i == 0 || (SetSeam(i % 2 == 0) && SendMessageTimeoutW(window, messages[i], what, 0,
                                                                    SMTO_NORMAL, 10000, &result)),
              "the window told: " + names[i]);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    log.Check(shots.Take("contrast-" + names[i], area), "picture " + names[i]);
  }
  for (const ControlSpec& entry : kControls) after.push_back(TextOf(Child(window, entry.id)));
  log.Check(after == before, "every caption kept through the switches");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CheckLog log("access");
  if (argc != 3 || !log.Check(SetSeam(1), "the high-contrast test seam set")) return 64;
  StartedProgram program;
  if (!StartProgram(argv[1], program)) return 75;
  const HANDLE process = program.process.get();
  const HWND window =
      AwaitMainWindow(process, program.processId, L"Check Keldo Support", kControlCount, 30000);
  if (!window || WaitForInputIdle(process, 30000) != 0) return 75;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CheckEvents(log, window);
  CheckSwitches(log, window, ScreenshotRequests(argv[2]));
  TerminateProcess(process, 1);
  return log.Failed() ? 1 : 0;
}
