#pragma once
// What the check run needs from the window it runs in, besides the view:
// the two message sinks and the way to end the program.
#include "base/debug_sink.h"
#include "base/text.h"

namespace keldo {

class CheckWindow : public DebugSink {
 public:
  virtual void ShowProgress(const Text& text, Flag flag) = 0;
  // Ends the program; never returns normally (throws ProgramEnded).
  [[noreturn]] virtual void CloseProgram() = 0;

 protected:
  ~CheckWindow() = default;
};

}  // namespace keldo
