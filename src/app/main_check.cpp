#include "app/main_check.h"

#include <exception>
#include <utility>

#include "base/errors.h"
#include "checks/check_run.h"

namespace keldo {

MainCheck::MainCheck(const Ports& ports, Text website)
    : ports_(ports), website_(std::move(website)) {}

void MainCheck::ShowMe() {
  Form_Load();
  ports_.view.Show();
  PrepareCheckState(check_, ports_);
  state_ = RunState::Idle;
}

void MainCheck::Form_Load() {}

void MainCheck::cmdStart_Click() {
  // Only an idle window runs a check: never before start-up is over, never
  // after the program has ended, never two runs at once.
  if (state_ != RunState::Idle) return;
  state_ = RunState::Running;
  outcome_ = RunOutcome::None;
  lastError_.clear();
  try {
    CheckRun(ports_, website_, check_, *this).StartChecks();
    state_ = RunState::Idle;
    outcome_ = RunOutcome::Completed;
  } catch (const ProgramEnded&) {
    outcome_ = RunOutcome::Closed;
  } catch (const std::exception& error) {
    // An error that no step traps ends only this run, not the program: the
    // user learns what went wrong and may press Start again or Exit.
    state_ = RunState::Idle;
    outcome_ = RunOutcome::Failed;
    lastError_ = FromUtf8(error.what());
    ports_.view.SetMousePointer(kPointerDefault);
    ports_.view.SetScreenMousePointer(kPointerDefault);
    ports_.view.ShowMessage(u"Check failed: " + lastError_, MessageKind::Message);
  }
}

void MainCheck::cmdExit_Click() {
  try {
    CloseProgram();
  } catch (const ProgramEnded&) {
  }
}

void MainCheck::ShowProgress(const Text& text, ProgressFlag flag) {
  // Nothing on the window changes; the flag has no effect.
  (void)flag;
  ports_.view.ShowProgress(text);
}

void MainCheck::DebugMsg(const Text& text) {
  if (check_.DebugOn == -1) ports_.view.ShowMessage(text, MessageKind::Diagnostic);
}

void MainCheck::CloseProgram() {
  state_ = RunState::Ended;
  ports_.view.EndProgram();
  throw ProgramEnded{};
}

std::unique_ptr<MainCheck> Main(const Ports& ports, Text website) {
  auto window = std::make_unique<MainCheck>(ports, std::move(website));
  window->ShowMe();
  return window;
}

Text ConfiguredWebsite() { return FromUtf8(KELDO_WEBSITE_U8); }

}  // namespace keldo
