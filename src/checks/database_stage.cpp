#include "checks/check_run.h"

namespace keldo {

void CheckRun::RunDatabaseStage() {
  window_.ShowProgress(u"Locating Keldo database", kFalse);
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
  window_.ShowProgress(u"Database found on Drive " + state_.DataDrive, kFalse);
  state_.VersionFile = u"keldo63version.dat";
  state_.ExpiryFile = u"SupportExpiry.dat";
  state_.DownloadURL = website_ + u"/filesfordownload/";
  state_.LatestProgsFolder = state_.DataDrive + u":\\Keldo6\\LATEST_PROGS\\";
}

}  // namespace keldo
