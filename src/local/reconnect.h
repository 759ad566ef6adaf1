#pragma once
// The user's remembered network drives, and their re-mapping.
#include "base/drive_mapper.h"
#include "base/network_registry.h"
#include "base/text.h"

namespace keldo {

// Starts the re-mapping of every letter A to Z whose remembered path is a
// network path ("\\..."). Never waits and never fails.
void ReconnectDrives(NetworkRegistry& registry, DriveMapper& mapper);

// The path remembered for `letter` under HKEY_CURRENT_USER\Network, up to
// its first NUL; "nothing" when there is no such key or value, or it cannot
// be read.
Text GetRemotePath(NetworkRegistry& registry, Text letter);

// "Network\<letter>"; the empty text for no letter.
Text NetworkKeyPath(Text letter);

// Starts one re-mapping; a path that could change the command, or a start
// that fails, is passed over in silence.
void MapDrive(DriveMapper& mapper, const Text& letter, const Text& remotePath);

}  // namespace keldo
