#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "base/text.h"

namespace keldo {

// The drive type code that Wine's configuration names ("hd", "network",
// "cdrom", "floppy", "ramdisk"), or nothing for any other text.
std::optional<std::int32_t> DriveTypeFromWineName(TextView name);

// The type code from the file system mounted under `unixPath`: network file
// systems 3, CD and DVD file systems 4, anything else 2; 0 when the path
// leads nowhere (a link to a server that is down, say).
std::int32_t DriveTypeOfMount(const std::string& unixPath);

}  // namespace keldo
