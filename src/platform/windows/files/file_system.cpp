#include "platform/windows/files/file_system.h"

#include <windows.h>

#include "platform/windows/text/wide_text.h"
#include "platform/windows/wait/responsive_wait.h"
#include "platform/windows/win_error.h"

namespace keldo {

namespace {

std::vector<DriveEntry> ListDrives() {
  const DWORD mask = GetLogicalDrives();
  if (mask == 0) ThrowLastError("Listing the drives");
  std::vector<DriveEntry> drives;
  for (int i = 0; i < 26; ++i) {
    if ((mask & (1u << i)) == 0) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + i);
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    drives.push_back({Text(1, static_cast<char16_t>(letter)), DriveTypeCode(GetDriveTypeW(root))});
  }
  return drives;
}

}  // namespace

std::int32_t DriveTypeCode(unsigned int windowsDriveType) {
  switch (windowsDriveType) {
    case DRIVE_REMOVABLE: return kDriveRemovable;
    case DRIVE_FIXED: return kDriveFixed;
    case DRIVE_REMOTE: return kDriveNetwork;
    case DRIVE_CDROM: return kDriveCdRom;
    case DRIVE_RAMDISK: return kDriveRamDisk;
    default: return kDriveUnknown;  // DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR
  }
}

DriveFiles::DriveFiles() {
  SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

// A drive that answers slowly (a network drive on a bad line, a dead one)
// holds up the list and its file tests for as long as the system takes:
// both run on a worker while the window stays served (responsive_wait.h).
std::vector<DriveEntry> DriveFiles::Drives() {
  return RunServed([] { return ListDrives(); });
}

bool DriveFiles::FileExists(const Text& path) {
  return RunServed([wide = Wide(path)] {
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  });
}

}  // namespace keldo
