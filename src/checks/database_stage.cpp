#include "base/website_paths.h"
#include "checks/check_run.h"

namespace keldo {

void CheckRun::RunDatabaseStage() {
  window_.ShowProgress(u"Locating Keldo database", ProgressFlag::Off);
  state_.DataFilePath = u":\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb";
  state_.DataDrive = LocateDatabase(state_.DataFilePath);
  if (!state_.DataDrive.empty()) {
    ShowCaption(Control::lblServer, u"Keldo Database on Drive: " + state_.DataDrive);
  } else {
    // Every other file lies on the database drive: nothing more to look at.
    window_.DebugMsg(u"Cannot find Keldo data files so cannot continue");
    ports_.view.ShowMessage(u"Your Accounts database not found so cannot continue",
                            MessageKind::Message);
    window_.CloseProgram();
  }
  window_.ShowProgress(u"Database found on Drive " + state_.DataDrive, ProgressFlag::Off);
  state_.VersionFile = kVersionFileName;
  state_.ExpiryFile = u"SupportExpiry.dat";
  // The check state carries the download folder's address beside the local
  // paths, as the product's own check did: the version probe is handed the
  // folder and only joins the file name and its time stamp to it, so this
  // build's website enters the run here and in the support query alone.
  state_.DownloadURL = website_ + kDownloadFolderPath;
  state_.LatestProgsFolder = state_.DataDrive + u":\\Keldo6\\LATEST_PROGS\\";
}

}  // namespace keldo
