#pragma once
// The main window's logic: start-up, the two buttons, the message sinks and
// the run state. It owns the check state; the check run (checks/) fills it.
// What the window looks like is the view's business.
#include <cstdint>
#include <memory>

#include "base/ports.h"
#include "base/text.h"
#include "checks/check_state.h"
#include "checks/check_window.h"

namespace keldo {

enum class RunState : std::uint8_t { Starting, Idle, Running, Ended };

// How the last press of Start ended.
enum class RunOutcome : std::uint8_t { None, Completed, Closed, Failed };

class MainCheck final : public CheckWindow {
 public:
  // `website` is the vendor's website: scheme, host and optional port, no
  // trailing slash.
  MainCheck(const Ports& ports, Text website);

  void ShowMe();
  void Form_Load();
  void cmdStart_Click();
  void cmdExit_Click();
  void ShowProgress(const Text& text, ProgressFlag flag) override;
  void DebugMsg(const Text& text) override;
  [[noreturn]] void CloseProgram() override;

  // The diagnostic switch: start-up turns it off and the window never turns
  // it on; only a front end that offers diagnostics (the console report's
  // --debug) and the tests do.
  void SetDebugOn(Flag value) { check_.DebugOn = value; }

  RunState State() const { return state_; }
  RunOutcome LastOutcome() const { return outcome_; }
  // The error text of the last failed run, empty otherwise.
  const Text& LastError() const { return lastError_; }
  const CheckState& Check() const { return check_; }

 private:
  Ports ports_;
  Text website_;
  CheckState check_;
  RunState state_ = RunState::Starting;
  RunOutcome outcome_ = RunOutcome::None;
  Text lastError_;
};

// The start-up procedure: creates the main window and shows it. The caller
// keeps it alive and runs the platform's event loop.
std::unique_ptr<MainCheck> Main(const Ports& ports, Text website);

// The vendor's website this build talks to (the KELDO_WEBSITE build setting).
Text ConfiguredWebsite();

}  // namespace keldo
