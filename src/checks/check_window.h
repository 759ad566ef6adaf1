#pragma once
// What the check run needs from the window it runs in, besides the view:
// the two message sinks and the way to end the program.
#include <cstdint>

#include "base/debug_sink.h"
#include "base/text.h"

namespace keldo {

// The 16-bit flag that comes with each progress text (-1 or 0). The run
// passes On with "Checking for updates", its first progress text, and Off
// with every other, as the product's steps do; nothing reads it, since
// ShowProgress shows nothing.
enum class ProgressFlag : std::int16_t { Off = 0, On = -1 };

class CheckWindow : public DebugSink {
 public:
  virtual void ShowProgress(const Text& text, ProgressFlag flag) = 0;
  // Ends the program; never returns normally (throws ProgramEnded).
  [[noreturn]] virtual void CloseProgram() = 0;

 protected:
  ~CheckWindow() = default;
};

}  // namespace keldo
