#include "driver/answer_probe.h"

#include <algorithm>

namespace keldo {

namespace {

constexpr DWORD kProbeEveryMs = 250, kAnswerWithinMs = 1000;

}  // namespace

AnswerProbe::AnswerProbe(HWND window) : thread_([this, window] { Probe(window); }) {}

AnswerProbe::~AnswerProbe() { Stop(); }

ProbeCount AnswerProbe::Stop() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  return count_;
}

void AnswerProbe::Probe(HWND window) {
  while (!stopping_ && IsWindow(window)) {
    const ULONGLONG asked = GetTickCount64();
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                              kAnswerWithinMs, &result) != 0;
    const DWORD took = static_cast<DWORD>(GetTickCount64() - asked);
    // A window that went away while asked is no unanswered probe.
    if (!IsWindow(window)) break;
    ++count_.sent;
    if (answered) {
      count_.slowestMs = std::max(count_.slowestMs, took);
    } else {
      ++count_.unanswered;
    }
    if (took < kProbeEveryMs) Sleep(kProbeEveryMs - took);
  }
}

}  // namespace keldo
