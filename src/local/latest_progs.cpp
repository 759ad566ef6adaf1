#include <exception>

#include "app/main_check.h"
#include "local/first_line.h"

namespace keldo {

void MainCheck::EnsureLatestProgsFolder() {
  if (FileAccessTool().EnsureFolder(LatestProgsFolder) == 0) {
    ports_.view.ShowMessage(u"Cannot create Latest Program Folder", MessageKind::Message);
  }
}

Text MainCheck::ReadServerExpiry() { return ReadLatestProgsFile(ExpiryFile); }

Text MainCheck::ReadServerVersion() { return ReadLatestProgsFile(VersionFile); }

Text MainCheck::ReadLatestProgsFile(const Text& fileName) {
  const Text path = LatestProgsFolder + fileName;
  try {
    DebugMsg(u"Checking " + path);
    if (!FileService().FileExists(path)) {
      DebugMsg(u"File not found: " + path);
      return u"error";
    }
    DebugMsg(u"Opening " + path);
    return ReadFirstLine(ports_.files, path);
  } catch (const std::exception&) {
    DebugMsg(u"Error reading: " + path);
    return u"error";
  }
}

}  // namespace keldo
