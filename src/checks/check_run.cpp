#include "checks/check_run.h"

#include <utility>

#include "base/errors.h"
#include "local/database_locator.h"
#include "local/latest_progs.h"
#include "web/support_query.h"

namespace keldo {

CheckRun::CheckRun(const Ports& ports, Text website, CheckState& state, CheckWindow& window)
    : ports_(ports), website_(std::move(website)), state_(state), window_(window) {}

void CheckRun::StartChecks() {
  RunSettingsStage();
  RunDatabaseStage();
  RunExpiryAndVersionStage();
}

Text CheckRun::LocateDatabase(const Text& relativePath) {
  ports_.view.SetMousePointer(kPointerHourglass);
  const Text drive =
      FindDataDrive(FileService(), ports_.registry, ports_.mapper, relativePath, window_);
  ports_.view.SetMousePointer(kPointerDefault);
  return drive;
}

void CheckRun::MakeLatestProgsFolder() {
  if (!EnsureLatestProgsFolder(FileAccessTool(), state_.LatestProgsFolder)) {
    ports_.view.ShowMessage(u"Cannot create Latest Program Folder", MessageKind::Message);
  }
}

void CheckRun::AskWebsiteForExpiry() {
  // Cleared before the post: a post that fails with an error leaves no
  // expiry from an earlier run behind.
  state_.WebExpiry.clear();
  const SupportOnWeb answer =
      CheckSupportOnWeb(ports_.web, website_, state_.SerialNbr, state_.CompanyName, window_);
  if (answer.reading == SupportReading::Unreadable) {
    ports_.view.ShowMessage(u"Could not read from website", MessageKind::Message);
  }
  if (answer.reading != SupportReading::NoAnswer) {
    ports_.view.SetScreenMousePointer(kPointerDefault);
  }
  state_.WebExpiry = answer.webExpiry;
}

void CheckRun::ShowCaption(Control control, const Text& caption) {
  ports_.view.SetCaption(control, caption);
  ports_.view.Repaint();
}

FileSystem& CheckRun::FileService() {
  if (state_.FileSys == nullptr) {
    throw RunTimeError(0, "The file-system service has not been created");
  }
  return *state_.FileSys;
}

FileTool& CheckRun::FileAccessTool() {
  if (!state_.FileAccess) throw RunTimeError(0, "The file-access tool has not been created");
  return *state_.FileAccess;
}

}  // namespace keldo
