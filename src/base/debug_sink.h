#pragma once
// Where the probes send their diagnostic lines. The window decides whether
// anyone sees them; a probe only says what it is doing.
#include "base/text.h"

namespace keldo {

class DebugSink {
 public:
  virtual void DebugMsg(const Text& text) = 0;

 protected:
  ~DebugSink() = default;
};

}  // namespace keldo
