#pragma once
// What a user may do to the window while a run waits for a silent website:
// cover it and uncover it (the captions already set must be drawn again),
// have another program click Start (no second run may start), click Exit or
// close it (the run must not end mid-way). The window's answers are probed meanwhile
// (answer_probe.h).
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "base/controls.h"
#include "driver/check_log.h"
#include "driver/screenshot_request.h"

namespace keldo {

// Waits (bounded) until the run has shown the PC's expiry, the step before
// it asks the website, and so is waiting for the website's answer.
bool AwaitWebsiteQuestion(HWND window);

// The labels that a run has set by the time it asks the website.
const std::vector<Control>& CaptionsSetBeforeWebsite();

class StallChecks {
 public:
  StallChecks(CheckLog& log, HWND window, const ScreenshotRequests& shots)
      : log_(log), window_(window), shots_(shots) {}
  ~StallChecks();
  StallChecks(const StallChecks&) = delete;
  StallChecks& operator=(const StallChecks&) = delete;

  // While the website is silent: cover and uncover the window, take a
  // picture of each label set so far ("stall-<label>"), and send a click
  // on Start, one on Exit and a close from a thread of its own.
  void DuringStall();
  // After the run: the window is still there, and the same labels again
  // ("run-<label>"), which the suite compares with the pictures taken
  // during the stall.
  void AfterRun();

 private:
  void CoverAndUncover();

  CheckLog& log_;
  HWND window_;
  const ScreenshotRequests& shots_;
  std::thread click_;
};

}  // namespace keldo
