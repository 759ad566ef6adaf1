#include "app/main_check.h"

namespace keldo {

Text MainCheck::FindDataDrive(Text relativePath) {
  ports_.view.SetMousePointer(kPointerHourglass);
  Text result = SearchDrives(relativePath);
  if (result.empty()) {
    // A remembered network drive that is not connected is the likely cause;
    // the re-mappings are not awaited, so the second pass sees only those
    // that have finished by the time it reaches their letter.
    General::ReconnectDrives(ports_.registry, ports_.mapper);
    result = SearchDrives(relativePath);
  }
  if (result.empty()) DebugMsg(relativePath + u" not found on any drive");
  ports_.view.SetMousePointer(kPointerDefault);
  return result;
}

Text MainCheck::SearchDrives(Text relativePath) {
  FileSystem& fileSystem = FileService();
  for (const DriveEntry& drive : fileSystem.Drives()) {
    if (drive.type != kDriveFixed && drive.type != kDriveNetwork) continue;
    DebugMsg(u"Looking for Keldo DB on drive: " + drive.letter);
    if (fileSystem.FileExists(drive.letter + relativePath)) {
      DebugMsg(u"Keldo Data found on Drive: " + drive.letter);
      return drive.letter;
    }
  }
  return Text();
}

}  // namespace keldo
