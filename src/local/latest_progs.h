#pragma once
// The latest-programs folder on the database drive: making sure it exists,
// and the first lines of the two files the product keeps there.
#include "base/debug_sink.h"
#include "base/file_system.h"
#include "base/text.h"
#include "base/text_files.h"
#include "base/web_component.h"

namespace keldo {

// Whether `latestProgsFolder` (ending in a backslash) exists afterwards,
// found or created.
bool EnsureLatestProgsFolder(FileTool& fileAccess, const Text& latestProgsFolder);

// The first line of the support-expiry file, or "error" when it is missing
// or cannot be read.
Text ReadServerExpiry(FileSystem& fileSystem, TextFiles& files, const Text& latestProgsFolder,
                      const Text& expiryFile, DebugSink& debug);

// The first line of the version file, or "error" as above.
Text ReadServerVersion(FileSystem& fileSystem, TextFiles& files, const Text& latestProgsFolder,
                       const Text& versionFile, DebugSink& debug);

}  // namespace keldo
