#pragma once
// One press of Start: three stages, top to bottom. The stages are the only
// code that writes the check state, the captions, the message boxes and the
// pointers; the probes they call only find things out and say so.
#include "base/controls.h"
#include "base/ports.h"
#include "base/text.h"
#include "checks/check_state.h"
#include "checks/check_window.h"

namespace keldo {

class CheckRun {
 public:
  // `website`: scheme, host and optional port, no trailing slash.
  CheckRun(const Ports& ports, Text website, CheckState& state, CheckWindow& window);

  void StartChecks();
  void RunSettingsStage();
  void RunDatabaseStage();
  void RunExpiryAndVersionStage();

  // The probes with effects the user sees, as the stages call them.
  // The database search, with the busy pointer while it lasts.
  Text LocateDatabase(const Text& relativePath);
  // The latest-programs folder, with a message box when it cannot be made.
  void MakeLatestProgsFolder();
  // The support query: WebExpiry, a message box for an unreadable answer,
  // and the screen's pointer back to normal once there is an answer.
  void AskWebsiteForExpiry();

 private:
  // Every finding is shown the moment it is known.
  void ShowCaption(Control control, const Text& caption);
  // The two service objects; a run before start-up made them is an error.
  FileSystem& FileService();
  FileTool& FileAccessTool();

  Ports ports_;
  Text website_;
  CheckState& state_;
  CheckWindow& window_;
};

}  // namespace keldo
