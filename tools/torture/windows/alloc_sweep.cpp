// keldo_alloc_sweep.exe <program.exe> <count file> <start-up points> <run points> [<N>...]
//
// The window program's test build (fail_new.cpp) with one allocation
// failing at a time. Counts the allocations of a clean start-up (the window
// shown, then Exit) and of a clean whole run (the window, Start, the run to
// its end, Exit), then starts the program once for each N of a sample, the
// N-th allocation failing: a spread of <start-up points> over the start-up
// (0: every one) and of <run points> over the places of the rest that a
// call stack of four frames tells apart (0: the first call of each place;
// "every": every call), or the N given. Each
// start must end in one of two ways: the start-up fails, says so in "The
// program cannot start: ..." and the program ends with status 1; or the
// window comes up, a press of Start runs to its end and either shows the
// clean run's findings (or a finding's failure value) or a box, after which
// the window still answers and a second press of Start runs clean; Exit then
// ends the program. One "ok"/"not ok" line per start; exit code 0 when all
// passed, 1 when one failed, 64 on bad usage.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/controls.h"
#include "driver/check_log.h"
#include "driver/program_start.h"
#include "driver/window_probe.h"
#include "platform/windows/unique_handle.h"

using namespace keldo;

namespace {

constexpr DWORD kStartWaitMs = 30000, kRunWaitMs = 60000, kEndWaitMs = 10000;
constexpr DWORD kExitFailed = 1, kExitUsage = 64;
constexpr wchar_t kCannotStart[] = L"The program cannot start: ";
// What a finding shows when its probe failed.
const std::set<std::wstring> kFailureCaptions = {
    L"Version in Latest Progs folder: error",
    L"PC shows support expires: error",
    L"Version on website: 0",
    L"Version on this PC: 0",
    L"Website shows support expires: --------",
};

struct Program : StartedProgram {
  std::vector<std::wstring> boxes;  // every box shown, in order
  HWND lastBox = nullptr;
  std::string failureValues;  // the findings shown as their failure value
};

// The program inherits the two variables of fail_new.cpp from here.
bool Start(const std::wstring& path, long long failAt, const std::wstring& countFile,
           Program& program) {
  SetEnvironmentVariableW(L"KELDO_FAIL_NEW_AT",
                          failAt > 0 ? std::to_wstring(failAt).c_str() : nullptr);
  SetEnvironmentVariableW(L"KELDO_NEW_COUNT_FILE", countFile.empty() ? nullptr : countFile.c_str());
  return StartProgram(path, program);
}

// Reads and closes a box of the program that shows now.
void CloseBox(Program& program) {
  const HWND box = FindMessageBox(program.processId);
  if (!box || box == program.lastBox) return;
  program.lastBox = box;
  program.boxes.push_back(ReadMessageBox(box).text);
  PressOk(box);
}

// The main window with all its controls, boxes closed meanwhile; null when
// the program ended first or the wait ran out.
HWND AwaitWindow(Program& program) {
  const ULONGLONG deadline = GetTickCount64() + kStartWaitMs;
  while (GetTickCount64() < deadline && !HasEnded(program.process.get(), 0)) {
    if (const HWND window = AwaitMainWindow(program.process.get(), program.processId,
                                            L"Check Keldo Support", kControlCount, 0)) {
      return window;
    }
    CloseBox(program);
  }
  return nullptr;
}

bool AwaitEnd(Program& program) {
  const ULONGLONG deadline = GetTickCount64() + kEndWaitMs;
  while (!HasEnded(program.process.get(), 20)) {
    if (GetTickCount64() > deadline) return false;
    CloseBox(program);
  }
  return true;
}

// Presses Start and closes every box until the click returns: true then.
// Sent from a thread of its own, the click returns when the run is over.
bool PressStart(HWND window, Program& program) {
  std::atomic<bool> returned{false}, done{false};
  std::thread click([&returned, &done, start = Child(window, Control::cmdStart)] {
    DWORD_PTR result = 0;
    returned = SendMessageTimeoutW(start, BM_CLICK, 0, 0, SMTO_NORMAL, kRunWaitMs, &result) != 0;
    done = true;
  });
  while (!done && !HasEnded(program.process.get(), 20)) CloseBox(program);
  click.join();
  return returned;
}

// The first caption that differs from the clean run's other than as its
// failure value, or "".
std::string Differs(const std::vector<std::wstring>& got, const std::vector<std::wstring>& clean) {
  for (std::size_t i = 0; i < got.size() && i < clean.size(); ++i) {
    if (got[i] != clean[i] && !kFailureCaptions.count(got[i])) {
      return std::string(kControls[i].name) + " " + Printable(got[i]) + ", clean " +
             Printable(clean[i]);
    }
  }
  return got.size() == clean.size() ? "" : "the controls";
}

std::vector<std::wstring> Captions(HWND window) {
  std::vector<std::wstring> captions;
  for (const ControlSpec& entry : kControls) captions.push_back(TextOf(Child(window, entry.id)));
  return captions;
}

bool Answers(HWND window) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &answer) !=
         0;
}

DWORD ExitCode(const Program& program) {
  DWORD code = 0;
  GetExitCodeProcess(program.process.get(), &code);
  return code;
}

// A start-up that failed as it should: said so, and ended with status 1.
bool SaidCannotStart(Program& program) {
  if (!AwaitEnd(program) || ExitCode(program) != 1) return false;
  for (const std::wstring& box : program.boxes) {
    if (box.rfind(kCannotStart, 0) == 0) return true;
  }
  return false;
}

std::string BoxesSeen(const Program& program) {
  std::string text;
  for (const std::wstring& box : program.boxes) text += " " + Printable(box);
  return text.empty() ? " none" : text;
}

// Why a start with allocation `failAt` failing went wrong, or "" when it
// did not; the boxes it showed are left in `program`. `clean` is the clean
// run's captions (empty while counting).
std::string TryOnce(const std::wstring& path, long long failAt, const std::wstring& countFile,
                    bool pressStart, const std::vector<std::wstring>& clean,
                    std::vector<std::wstring>* captions, Program& program) {
  if (!Start(path, failAt, countFile, program)) return "the program did not start";
  const HWND window = AwaitWindow(program);
  if (!window) {
    if (SaidCannotStart(program)) return "";
    TerminateProcess(program.process.get(), 1);
    return "no window, and the program ended with status " + std::to_string(ExitCode(program));
  }
  WaitForInputIdle(program.process.get(), kStartWaitMs);
  std::string fault;
  if (pressStart) {
    const std::size_t before = program.boxes.size();
    if (!PressStart(window, program)) {
      // The window may have come up before the start-up failed.
      if (SaidCannotStart(program)) return "";
      fault = HasEnded(program.process.get(), 0) ? "the program vanished in the run with status " +
                                                       std::to_string(ExitCode(program))
                                                 : "the run did not end";
    } else if (program.boxes.size() == before) {
      if (captions) *captions = Captions(window);
      const std::vector<std::wstring> shown = Captions(window);
      for (std::size_t i = 0; i < shown.size() && i < clean.size(); ++i) {
        if (shown[i] != clean[i]) program.failureValues += " " + std::string(kControls[i].name);
      }
      if (const std::string differs = Differs(shown, clean); !clean.empty() && !differs.empty()) {
        fault = "a finding differs, and no box: " + differs;
      }
    } else if (!Answers(window)) {
      fault = "the window does not answer after the box";
    } else if (const std::size_t seen = program.boxes.size(); !PressStart(window, program)) {
      fault = "the second press of Start did not run to its end";
    } else if (program.boxes.size() != seen || !Differs(Captions(window), clean).empty()) {
      fault = "the second run is not the clean one: " + Differs(Captions(window), clean);
    }
  }
  if (fault.empty() && !HasEnded(program.process.get(), 0)) {
    PostMessageW(Child(window, Control::cmdExit), BM_CLICK, 0, 0);
    if (!AwaitEnd(program)) fault = "Exit did not end the program";
  }
  if (fault.empty() && ExitCode(program) != 0) {
    fault = "the program ended with status " + std::to_string(ExitCode(program));
  }
  if (!HasEnded(program.process.get(), 0)) TerminateProcess(program.process.get(), 1);
  return fault;
}

// The count of a clean run's allocations; each one's place into `sites`.
long long CountedCalls(const std::wstring& file, std::vector<unsigned long>& sites) {
  FILE* counts = _wfopen(file.c_str(), L"r");
  long long count = 0;
  if (counts == nullptr) return 0;
  if (std::fscanf(counts, "%lld", &count) != 1) count = 0;
  sites.clear();
  for (unsigned long site = 0; std::fscanf(counts, "%lx", &site) == 1;) sites.push_back(site);
  std::fclose(counts);
  return count;
}

// `points` numbers spread evenly over `numbers`, or all of them for 0.
void Spread(const std::vector<long long>& numbers, std::size_t points, std::set<long long>& into) {
  if (points == 0 || points >= numbers.size()) points = numbers.size();
  for (std::size_t i = 0; i < points; ++i) into.insert(numbers[i * numbers.size() / points]);
}

// The first of first..last in each place that `sites` tells apart.
std::vector<long long> FirstOfEachPlace(long long first, long long last,
                                        const std::vector<unsigned long>& sites) {
  std::vector<long long> numbers;
  std::set<unsigned long> seen;
  for (long long n = first; n <= last; ++n) {
    const std::size_t at = static_cast<std::size_t>(n - 1);
    if (at >= sites.size() || seen.insert(sites[at]).second) numbers.push_back(n);
  }
  return numbers;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: keldo_alloc_sweep <CheckKeldoSupport.exe> <count file> <start-up points> "
                 "<run points> [<N>...]\n");
    return kExitUsage;
  }
  const std::wstring path = argv[1], countFile = argv[2];
  CheckLog log("allocation");
  std::vector<std::wstring> clean;
  Program first, second;
  log.Check(TryOnce(path, 0, countFile, false, {}, nullptr, first).empty(),
            "a clean start and Exit");
  std::vector<unsigned long> sites;
  const long long startUp = CountedCalls(countFile, sites);
  const std::string startFault = TryOnce(path, 0, countFile, true, {}, &clean, second);
  const long long whole = CountedCalls(countFile, sites);
  const std::vector<long long> places = FirstOfEachPlace(startUp + 1, whole, sites);
  if (!log.Check(startFault.empty() && !clean.empty() && startUp > 0 && whole > startUp,
                 "a clean run: " + std::to_string(startUp) + " allocations in start-up and Exit, " +
                     std::to_string(whole) + " in all, in " + std::to_string(places.size()) +
                     " places after the start-up " + startFault)) {
    return kExitFailed;
  }
  for (std::size_t i = 0; i < clean.size(); ++i) {
    log.Note(std::string(kControls[i].name) + " " + Printable(clean[i]));
  }
  std::set<long long> sample;
  for (int i = 5; i < argc; ++i) sample.insert(std::wcstoll(argv[i], nullptr, 10));
  if (sample.empty()) {
    std::vector<long long> startUpCalls;
    for (long long n = 1; n <= startUp; ++n) startUpCalls.push_back(n);
    Spread(startUpCalls, static_cast<std::size_t>(std::wcstoll(argv[3], nullptr, 10)), sample);
    if (std::wstring(argv[4]) == L"every") {
      for (long long n = startUp + 1; n <= whole; ++n) sample.insert(n);
    } else {
      Spread(places, static_cast<std::size_t>(std::wcstoll(argv[4], nullptr, 10)), sample);
    }
  }
  for (const long long n : sample) {
    Program started;
    const std::string fault = TryOnce(path, n, L"", true, clean, nullptr, started);
    log.Check(
        fault.empty(),
        "allocation " + std::to_string(n) + " of " + std::to_string(whole) +
            " failing: " + (fault.empty() ? "" : fault + "; ") + "boxes:" + BoxesSeen(started) +
            (started.failureValues.empty() ? "" : "; failure values:" + started.failureValues));
  }
  return log.Failed() ? kExitFailed : 0;
}
