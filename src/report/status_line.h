#pragma once
// The report's status line at a terminal: the step of the check run in
// progress, rewritten in place on standard error, with the seconds it has
// taken once it takes longer than a second, so that a wait can be told
// from a hang. A ticker thread of the front end redraws it while the check
// run, which keeps its single thread busy in blocking calls, cannot; every
// write to the stream goes through this object, under its lock.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include "base/text.h"

namespace keldo {

class StatusLine {
 public:
  // `columns`: the terminal's width, 0 when unknown. A line that reached
  // the last column would wrap, and a carriage return could not take it back.
  StatusLine(std::ostream& err, std::size_t columns);
  ~StatusLine();
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;

  // A new step: its text, and the seconds counted from now.
  void Show(const Text& step);
  // Runs `write` on the stream with the line cleared, then draws it again.
  void Around(const std::function<void(std::ostream&)>& write);
  // Clears the line for good and ends the ticker.
  void Stop();

 private:
  void Tick();
  std::string Line() const;
  void Draw();
  void Erase();

  std::ostream& err_;
  std::size_t columns_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::string step_;
  std::chrono::steady_clock::time_point since_;
  std::string drawn_;  // what the terminal shows now
  bool stopping_ = false;
  std::thread ticker_;
};

}  // namespace keldo
