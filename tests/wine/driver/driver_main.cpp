// keldo_window_driver.exe <scenario> <CheckKeldoSupport.exe> [<shots folder>]
// keldo_window_driver.exe --list: the scenarios' names, one a line.
// Starts the program in the prefix it runs in, looks at its window as a user
// would, presses its buttons and checks what follows. One "ok"/"not ok" line
// per check. Exit code 0: every check passed; 1: a check failed; 64: bad
// usage; 75: the program's window never appeared (a start that Wine may have
// botched, which the suite may retry once).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "base/controls.h"
#include "driver/answer_probe.h"
#include "driver/check_log.h"
#include "driver/findings_copy.h"
#include "driver/font_reference.h"
#include "driver/layout_checks.h"
#include "driver/product_settings.h"
#include "driver/program_start.h"
#include "driver/scale_checks.h"
#include "driver/scenarios.h"
#include "driver/screenshot_request.h"
#include "driver/stall_checks.h"
#include "driver/window_probe.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/win_error.h"

// wmain stays outside the project namespace.
using namespace keldo;

namespace {

constexpr int kExitFailed = 1, kExitUsage = 64, kExitNoWindow = 75;
constexpr DWORD kWindowWaitMs = 30000;
// Two web requests of at most 30 s each, and the rest of the run.
constexpr DWORD kRunWaitMs = 90000;
constexpr DWORD kEndWaitMs = 10000;
constexpr DWORD kNetLogWaitMs = 5000;

using Program = StartedProgram;

void CheckCaptions(CheckLog& log, HWND window, const Scenario& scenario,
                   const std::map<Control, std::wstring>& captions, const std::string& when) {
  Scenario expected = scenario;
  expected.captions = captions;
  for (const ControlSpec& entry : kControls) {
    log.Equal(ExpectedCaption(expected, entry.id), TextOf(Child(window, entry.id)),
              std::string(entry.name) + " " + when);
  }
}

// Presses Start and stays with the run until the click returns or the
// program ends, reading and closing every message box on the way;
// `duringRun`, when given, is done once the click is on its way.
struct RunSeen {
  std::vector<std::wstring> boxes;
  bool clickReturned = false;
};

RunSeen PressStart(CheckLog& log, HWND window, const Program& program, const Scenario& scenario,
                   const ScreenshotRequests& shots,
                   const std::function<void()>& duringRun = nullptr) {
  RunSeen seen;
  std::atomic<bool> returned{false};
  const HWND start = Child(window, Control::cmdStart);
  // Sent from a thread of its own: it returns when the click handler does,
  // which is when the run is over, and meanwhile this thread can close boxes.
  std::thread click([&] {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(start, BM_CLICK, 0, 0, SMTO_NORMAL, kRunWaitMs, &result)) {
      returned = true;
    }
  });
  const ULONGLONG deadline = GetTickCount64() + kRunWaitMs;
  if (duringRun) duringRun();
  HWND lastBox = nullptr;
  while (!returned && !HasEnded(program.process.get(), 0) && GetTickCount64() < deadline) {
    const HWND box = FindMessageBox(program.processId);
    if (!box || box == lastBox) {
      Sleep(30);
      continue;
    }
    lastBox = box;
    const MessageBoxView view = ReadMessageBox(box);
    const std::string which = "box " + std::to_string(seen.boxes.size() + 1);
    seen.boxes.push_back(view.text);
    log.Equal(L"Check Keldo Support", view.title, which + " title");
    log.Check(view.buttonTexts == std::vector<std::wstring>{L"OK"},
              which + " has an OK button only");
    log.Check(!view.hasIcon, which + " has no icon");
    log.Check(view.owner == window, which + " is owned by the main window");
    if (scenario.endsItself)
      CheckCaptions(log, window, scenario, scenario.captions, "while the box shows");
    if (scenario.copyFindings && seen.boxes.size() == 1) CheckNoCopyMidRun(log, window);
    if (scenario.seeLayout) {
      RECT outer{};
      GetWindowRect(window, &outer);
      log.Check(shots.Take("message-box", Union(outer, view.rect)), "screenshot with the box open");
    }
    PressOk(box);
  }
  click.join();
  seen.clickReturned = returned;
  return seen;
}

std::vector<std::wstring> NetCalls(const std::wstring& logPath, std::size_t expected) {
  // The stub runs on its own; wait for its lines, but never for ever.
  std::vector<std::wstring> lines;
  const ULONGLONG deadline = GetTickCount64() + (expected ? kNetLogWaitMs : 500);
  do {
    lines.clear();
    const KernelHandle file =
        OwnFileHandle(CreateFileW(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      std::string bytes(64 * 1024, '\0');
      DWORD read = 0;
      ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
      bytes.resize(read);
      std::size_t at = 0;
      for (std::size_t end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = bytes.substr(at, end - at);
        std::wstring wide(line.size(), L'\0');
        wide.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide.data(),
                                static_cast<int>(wide.size()))));
        lines.push_back(wide);
      }
    }
    if (expected && lines.size() >= expected) break;
    Sleep(50);
  } while (GetTickCount64() < deadline);
  // Each re-mapping runs on its own, so the order they write in is not theirs.
  std::sort(lines.begin(), lines.end());
  return lines;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  const KernelHandle file = OwnFileHandle(CreateFileW(
      path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// A run with the window's answers probed from the press of Start until the
// click returns; what else happens meanwhile is the action's (scenarios.h).
// The texts of the run's message boxes.
std::vector<std::wstring> RunWhileProbed(CheckLog& log, const Scenario& scenario, HWND window,
                                         const Program& program, const ScreenshotRequests& shots) {
  StallChecks stall(log, window, shots);
  std::function<void()> duringRun;
  if (scenario.action == Action::RunStalled) duringRun = [&stall] { stall.DuringStall(); };
  if (scenario.action == Action::CloseDuringRun) {
    duringRun = [&log, window] {
      // Posted, as the close box's own WM_CLOSE would be.
      if (log.Check(AwaitWebsiteQuestion(window), "the run asks the website")) {
        PostMessageW(window, WM_CLOSE, 0, 0);
      }
    };
  }
  AnswerProbe probe(window);
  const RunSeen run = PressStart(log, window, program, scenario, shots, duringRun);
  const ProbeCount count = probe.Stop();
  log.Check(count.sent > 0 && count.unanswered == 0,
            "every probe during the run answered within 1 s (" + std::to_string(count.sent) +
                " sent, " + std::to_string(count.unanswered) + " unanswered, slowest answer " +
                std::to_string(count.slowestMs) + " ms)");
  if (scenario.action == Action::CloseDuringRun) {
    log.Check(run.clickReturned, "the run goes on to its end");
    log.Check(HasEnded(program.process.get(), kEndWaitMs),
              "the close posted during the run ends the program once the run is over");
  } else if (scenario.endsItself) {
    log.Check(HasEnded(program.process.get(), kEndWaitMs), "the program ends after the box");
  } else {
    log.Check(run.clickReturned, "the run goes on to its end");
    CheckCaptions(log, window, scenario, scenario.captions, "after the run");
    if (scenario.action == Action::RunStalled) stall.AfterRun();
  }
  return run.boxes;
}

std::vector<std::wstring> Joined(const RunSeen& first, const RunSeen& second) {
  std::vector<std::wstring> boxes = first.boxes;
  boxes.insert(boxes.end(), second.boxes.begin(), second.boxes.end());
  return boxes;
}

// The window itself before anything is pressed, with its screenshots.
void CheckLayoutBeforeStart(CheckLog& log, HWND window, const Program& program,
                            const ScreenshotRequests& shots) {
  CheckLayout(log, window, program.threadId);
  log.Check(shots.Take("before-start", WindowRect(window)), "screenshot before Start");
  CheckFontsByPicture(log, window, shots);
}

// Exit, or the close box, before any run.
void EndBeforeAnyRun(CheckLog& log, const Scenario& scenario, HWND window, const Program& program) {
  CheckCaptions(log, window, scenario, {}, "at start");
  if (scenario.action == Action::Exit) {
    PostMessageW(Child(window, Control::cmdExit), BM_CLICK, 0, 0);
  } else {
    // What the close box sends.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  log.Check(HasEnded(program.process.get(), kEndWaitMs),
            "the program ends at once, without a question");
}

// Two runs, the PC's expiry file changed between them. Their boxes.
std::vector<std::wstring> RunTwiceWithNewExpiry(CheckLog& log, const Scenario& scenario,
                                                HWND window, const Program& program,
                                                const ScreenshotRequests& shots) {
  const RunSeen first = PressStart(log, window, program, scenario, shots);
  log.Check(first.clickReturned, "the first run returns to the window");
  CheckCaptions(log, window, scenario, FindScenario("ordinary")->captions, "after the first run");
  log.Check(WriteFileBytes(kSecondExpiryFile, kSecondExpiryBytes),
            "the PC's expiry file changed between runs");
  const RunSeen second = PressStart(log, window, program, scenario, shots);
  log.Check(second.clickReturned, "the second run returns to the window");
  std::vector<std::wstring> boxes = Joined(first, second);
  CheckCaptions(log, window, scenario, scenario.captions, "after the second run");
  return boxes;
}

// The ordinary run at the suite's DPI, its captions fitting and its
// screenshot taken.
RunSeen RunOrdinaryAtScale(CheckLog& log, const Scenario& scenario, HWND window,
                           const Program& program, const ScreenshotRequests& shots) {
  const std::string off = "after the \"User turned it OFF\" run";
  CheckScaledLayout(log, window, scenario.dpi);
  CheckCaptionsFit(log, window, scenario.dpi, "at start");
  const RunSeen first = PressStart(log, window, program, scenario, shots);
  log.Check(first.clickReturned, "the first run returns to the window");
  CheckCaptions(log, window, scenario, FindScenario("ordinary")->captions, off);
  CheckCaptionsFit(log, window, scenario.dpi, off);
  CheckTitleReadable(log, window, scenario.dpi, shots);
  log.Check(shots.Take("window-" + std::to_string(scenario.dpi), WindowRect(window)),
            "screenshot " + off);
  return first;
}

// The ordinary run, then one with the long-serial settings, every caption
// fitting at the suite's DPI. Their boxes.
std::vector<std::wstring> RunAtScale(CheckLog& log, const Scenario& scenario, HWND window,
                                     const Program& program, const ScreenshotRequests& shots) {
  const std::string longSerial = "after the 20-character serial number run";
  const RunSeen first = RunOrdinaryAtScale(log, scenario, window, program, shots);
  // Put back afterwards: the suite starts the next scale in this prefix.
  SettingValues ordinary;
  log.Check(ReadProductSettings(LongSerialSettings(), ordinary), "the ordinary settings read");
  log.Check(WriteProductSettings(LongSerialSettings()), "the settings changed between runs");
  const RunSeen second = PressStart(log, window, program, scenario, shots);
  log.Check(second.clickReturned, "the second run returns to the window");
  CheckCaptions(log, window, scenario, scenario.captions, longSerial);
  CheckCaptionsFit(log, window, scenario.dpi, longSerial);
  log.Check(WriteProductSettings(ordinary), "the ordinary settings put back");
  return Joined(first, second);
}

// After a run that returned: the window answers and shows its findings.
void CheckWindowAfterRun(CheckLog& log, const Scenario& scenario, HWND window) {
  DWORD_PTR answer = 0;
  log.Check(
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &answer) != 0,
      "the window answers at once after the run");
  CheckCaptions(log, window, scenario, scenario.captions, "after the run");
  if (scenario.copyFindings) CheckCopiesAfterRun(log, window, scenario);
}

// One press of Start. Its boxes.
std::vector<std::wstring> RunOnce(CheckLog& log, const Scenario& scenario, HWND window,
                                  const Program& program, const ScreenshotRequests& shots) {
  const RunSeen run = PressStart(log, window, program, scenario, shots);
  if (scenario.endsItself) {
    log.Check(HasEnded(program.process.get(), kEndWaitMs), "the program ends after the box");
  } else {
    log.Check(run.clickReturned, "the run returns to the window");
    CheckWindowAfterRun(log, scenario, window);
  }
  if (scenario.seeLayout && !scenario.endsItself) {
    log.Check(shots.Take("after-run", WindowRect(window)), "screenshot after the run");
    log.Check(GetFileAttributesW(kTemporaryDownload) == INVALID_FILE_ATTRIBUTES,
              "the temporary download is gone");
  }
  return run.boxes;
}

// What the scenario's action does (scenarios.h). The message boxes it met.
std::vector<std::wstring> RunAction(CheckLog& log, const Scenario& scenario, HWND window,
                                    const Program& program, const ScreenshotRequests& shots) {
  switch (scenario.action) {
    case Action::Exit:
    case Action::CloseBox: EndBeforeAnyRun(log, scenario, window, program); return {};
    case Action::RunTwice: return RunTwiceWithNewExpiry(log, scenario, window, program, shots);
    case Action::AtScale: return RunAtScale(log, scenario, window, program, shots);
    case Action::RunProbed:
    case Action::RunStalled:
    case Action::CloseDuringRun: return RunWhileProbed(log, scenario, window, program, shots);
    case Action::Run: return RunOnce(log, scenario, window, program, shots);
  }
  return {};
}

void CheckBoxes(CheckLog& log, const Scenario& scenario, const std::vector<std::wstring>& boxes) {
  log.Equal(static_cast<long long>(scenario.boxes.size()), static_cast<long long>(boxes.size()),
            "number of message boxes");
  for (std::size_t i = 0; i < std::min(boxes.size(), scenario.boxes.size()); ++i) {
    log.Equal(scenario.boxes[i], boxes[i], "box " + std::to_string(i + 1) + " text");
  }
}

// The net use commands the stub recorded, when the suite gave it a log.
void CheckNetCalls(CheckLog& log, const Scenario& scenario) {
  wchar_t netLog[MAX_PATH];
  if (!GetEnvironmentVariableW(L"KELDO_NET_LOG", netLog, MAX_PATH)) return;
  const std::vector<std::wstring> calls = NetCalls(netLog, scenario.netCalls.size());
  log.Equal(static_cast<long long>(scenario.netCalls.size()), static_cast<long long>(calls.size()),
            "number of net use commands started");
  for (std::size_t i = 0; i < std::min(calls.size(), scenario.netCalls.size()); ++i) {
    log.Equal(scenario.netCalls[i], calls[i], "net use command " + std::to_string(i + 1));
  }
}

void RunScenario(CheckLog& log, const Scenario& scenario, HWND window, const Program& program,
                 const ScreenshotRequests& shots) {
  if (scenario.seeLayout) CheckLayoutBeforeStart(log, window, program, shots);
  CheckBoxes(log, scenario, RunAction(log, scenario, window, program, shots));
  CheckNetCalls(log, scenario);
  if (!scenario.endsItself && !HasEnded(program.process.get(), 0)) {
    PostMessageW(Child(window, Control::cmdExit), BM_CLICK, 0, 0);
    log.Check(HasEnded(program.process.get(), kEndWaitMs), "Exit ends the program after the run");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--list") {
    for (const std::string& name : ScenarioNames()) std::printf("%s\n", name.c_str());
    return 0;
  }
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr,
                 "usage: keldo_window_driver <scenario> <program.exe> [<shots folder>] | --list\n");
    return kExitUsage;
  }
  const std::wstring scenarioName = argv[1];
  const Scenario* scenario = FindScenario(std::string(scenarioName.begin(), scenarioName.end()));
  if (!scenario) {
    std::fprintf(stderr, "keldo_window_driver: no scenario %ls\n", argv[1]);
    return kExitUsage;
  }
  CheckLog log(scenario->name);
  const ScreenshotRequests shots(argc == 4 ? argv[3] : L"");

  Program program;
  if (!StartProgram(argv[2], program)) {
    log.Note(DescribeError("Starting the program", GetLastError()));
    return kExitNoWindow;
  }
  const HWND window = AwaitMainWindow(program.process.get(), program.processId,
                                      L"Check Keldo Support", kControlCount, kWindowWaitMs);
  if (!window) {
    // A program that said why it could not start has failed; silence is Wine's.
    if (const HWND box = FindMessageBox(program.processId)) {
      log.Check(false, "the program starts: it showed " + Printable(ReadMessageBox(box).text));
      TerminateProcess(program.process.get(), 1);
      return kExitFailed;
    }
    log.Note("the program's window did not appear");
    TerminateProcess(program.process.get(), 1);
    return kExitNoWindow;
  }
  // Start-up is over once the program waits for input; only then is the
  // window what a user would first see.
  WaitForInputIdle(program.process.get(), kWindowWaitMs);
  RunScenario(log, *scenario, window, program, shots);
  if (!HasEnded(program.process.get(), 0)) TerminateProcess(program.process.get(), 1);
  return log.Failed() ? kExitFailed : 0;
}
