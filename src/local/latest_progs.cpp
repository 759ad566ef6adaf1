#include "local/latest_progs.h"

#include <exception>

#include "base/failure_sentinel.h"
#include "base/first_line.h"

namespace keldo {

namespace {

Text ReadLatestProgsFile(FileSystem& fileSystem, TextFiles& files, const Text& path,
                         DebugSink& debug) {
  try {
    debug.DebugMsg(u"Checking " + path);
    if (!fileSystem.FileExists(path)) {
      debug.DebugMsg(u"File not found: " + path);
      return kFailureSentinel;
    }
    debug.DebugMsg(u"Opening " + path);
    return ReadFirstLine(files, path);
  } catch (const std::exception&) {
    debug.DebugMsg(u"Error reading: " + path);
    return kFailureSentinel;
  }
}

}  // namespace

bool EnsureLatestProgsFolder(FileTool& fileAccess, const Text& latestProgsFolder) {
  return fileAccess.EnsureFolder(latestProgsFolder) != 0;
}

Text ReadServerExpiry(FileSystem& fileSystem, TextFiles& files, const Text& latestProgsFolder,
                      const Text& expiryFile, DebugSink& debug) {
  return ReadLatestProgsFile(fileSystem, files, latestProgsFolder + expiryFile, debug);
}

Text ReadServerVersion(FileSystem& fileSystem, TextFiles& files, const Text& latestProgsFolder,
                       const Text& versionFile, DebugSink& debug) {
  return ReadLatestProgsFile(fileSystem, files, latestProgsFolder + versionFile, debug);
}

}  // namespace keldo
