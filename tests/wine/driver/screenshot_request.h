#pragma once
// Screenshots are taken on the Linux side (the X server's picture is the
// truth of what a user sees). The driver asks for one by writing
// "<name> <left> <top> <width> <height>" into shot-request.txt in the
// shots folder and waits, bounded, until the suite script has taken it and
// removed the file.
#include <windows.h>

#include <string>

namespace keldo {

class ScreenshotRequests {
 public:
  // An empty folder means no screenshots are taken in this run.
  explicit ScreenshotRequests(std::wstring folder) : folder_(std::move(folder)) {}

  // True once the picture of `area` (screen pixels) is saved as <name>.png.
  bool Take(const std::string& name, const RECT& area) const;

 private:
  std::wstring folder_;
};

// Handles this thread's window messages for `ms` milliseconds.
void PumpMessagesFor(DWORD ms);

// The smallest rectangle that holds both.
RECT Union(const RECT& a, const RECT& b);

}  // namespace keldo
