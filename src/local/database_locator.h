#pragma once
// Which drive holds the product's database.
#include "base/debug_sink.h"
#include "base/drive_mapper.h"
#include "base/file_system.h"
#include "base/network_registry.h"
#include "base/text.h"

namespace keldo {

// The letter of the first fixed or network drive, in the order the system
// lists them, on which `relativePath` (":\..." after the letter) exists;
// when none has it, the user's remembered network drives are re-mapped and,
// once the re-mapping commands have ended (at most kMappingWaitBound), the
// drives searched once more. The empty text when both searches miss.
Text FindDataDrive(FileSystem& fileSystem, NetworkRegistry& registry, DriveMapper& mapper,
                   const Text& relativePath, DebugSink& debug);

// One search of the drives, as described above.
Text SearchDrives(FileSystem& fileSystem, const Text& relativePath, DebugSink& debug);

}  // namespace keldo
