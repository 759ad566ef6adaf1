#pragma once
// The user's remembered network drives, and their re-mapping.
#include <chrono>

#include "base/debug_sink.h"
#include "base/drive_mapper.h"
#include "base/network_registry.h"
#include "base/text.h"

namespace keldo {

// The longest the re-mapping commands are awaited, all together: as long as
// one website request may take.
inline constexpr std::chrono::seconds kMappingWaitBound{30};

// Starts the re-mapping of every letter A to Z whose remembered path is a
// network path ("\\...") and returns how many commands were started. Never
// waits and never fails.
int ReconnectDrives(NetworkRegistry& registry, DriveMapper& mapper, DebugSink& debug);

// The path remembered for `letter` under HKEY_CURRENT_USER\Network, up to
// its first NUL; "nothing" when there is no such key or value, or it cannot
// be read.
Text GetRemotePath(NetworkRegistry& registry, Text letter);

// Whether a re-mapping command line can carry a remembered remote path
// whole: every character but NUL, which would end the command line there.
bool CanCarryRemotePath(const Text& remotePath);

// "Network\<letter>"; the empty text for no letter.
Text NetworkKeyPath(Text letter);

// Starts one re-mapping and says whether it was started. A path that no
// command line can carry, or a start that fails, is passed over with a
// diagnostic line naming the command and the reason.
bool MapDrive(DriveMapper& mapper, const Text& letter, const Text& remotePath, DebugSink& debug);

// Waits for the started re-mappings, at most kMappingWaitBound; a wait that
// fails ends with a diagnostic line, as if the bound had passed.
void AwaitMappings(DriveMapper& mapper, DebugSink& debug);

}  // namespace keldo
