#include "app/main_check.h"

namespace keldo {

void MainCheck::RunDatabaseStage() {
  ShowProgress(u"Locating Keldo database", kFalse);
  DataFilePath = u":\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb";
  DataDrive = FindDataDrive(DataFilePath);
  if (!DataDrive.empty()) {
    ShowCaption(Control::lblServer, u"Keldo Database on Drive: " + DataDrive);
  } else {
    // Every other file lies on the database drive: nothing more to look at.
    DebugMsg(u"Cannot find Keldo data files so cannot continue");
    ports_.view.ShowMessage(u"Your Accounts database not found so cannot continue", MessageKind::Message);
    CloseProgram();
  }
  ShowProgress(u"Database found on Drive " + DataDrive, kFalse);
  VersionFile = u"keldo63version.dat";
  ExpiryFile = u"SupportExpiry.dat";
  DownloadURL = website_ + u"/filesfordownload/";
  LatestProgsFolder = DataDrive + u":\\Keldo6\\LATEST_PROGS\\";
}

}  // namespace keldo
