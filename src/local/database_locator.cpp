#include "local/database_locator.h"

#include "local/reconnect.h"

namespace keldo {

Text FindDataDrive(FileSystem& fileSystem, NetworkRegistry& registry, DriveMapper& mapper,
                   const Text& relativePath, DebugSink& debug) {
  Text result = SearchDrives(fileSystem, relativePath, debug);
  if (result.empty()) {
    // A remembered network drive that is not connected is the likely cause.
    // A re-mapping takes a moment even on a fast network: a second pass made
    // as soon as the commands are started would miss the drive they bring
    // back, so it waits for them (at most the bound, never for nothing).
    if (ReconnectDrives(registry, mapper, debug) > 0) AwaitMappings(mapper, debug);
    result = SearchDrives(fileSystem, relativePath, debug);
  }
  if (result.empty()) debug.DebugMsg(relativePath + u" not found on any drive");
  return result;
}

Text SearchDrives(FileSystem& fileSystem, const Text& relativePath, DebugSink& debug) {
  for (const DriveEntry& drive : fileSystem.Drives()) {
    if (drive.type != kDriveFixed && drive.type != kDriveNetwork) continue;
    debug.DebugMsg(u"Looking for Keldo DB on drive: " + drive.letter);
    if (fileSystem.FileExists(drive.letter + relativePath)) {
      debug.DebugMsg(u"Keldo Data found on Drive: " + drive.letter);
      return drive.letter;
    }
  }
  return Text();
}

}  // namespace keldo
