#pragma once
// Whether the program's window keeps answering while a run waits: from a
// thread of its own, every 250 ms, a WM_NULL sent with a 1 s limit, as the
// system's own "is it hung?" question is asked. A window whose thread looks
// at no message leaves it unanswered (Wine draws no ghost window, but this
// is what ghosting goes by on Windows).
#include <windows.h>

#include <atomic>
#include <thread>

namespace keldo {

struct ProbeCount {
  int sent = 0;
  int unanswered = 0;
  DWORD slowestMs = 0;  // of the answered ones
};

class AnswerProbe {
 public:
  explicit AnswerProbe(HWND window);
  ~AnswerProbe();
  AnswerProbe(const AnswerProbe&) = delete;
  AnswerProbe& operator=(const AnswerProbe&) = delete;

  // Stops probing; what the probes met.
  ProbeCount Stop();

 private:
  void Probe(HWND window);

  std::atomic<bool> stopping_{false};
  ProbeCount count_;
  std::thread thread_;
};

}  // namespace keldo
