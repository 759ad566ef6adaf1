#include "platform/linux/files/drive_type.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <array>
#include <string_view>

#include "base/file_system.h"
#include "platform/linux/files/bounded_file.h"
#include "platform/linux/text/name_fold.h"

namespace keldo {

namespace {

constexpr std::size_t kMaxMountTableBytes = 4 * 1024 * 1024;

constexpr std::array<std::string_view, 18> kNetworkFileSystems = {
    "nfs",         "nfs4",        "cifs",     "smb3",       "smbfs",
    "9p",          "afs",         "ceph",     "glusterfs",  "lustre",
    "coda",        "ncpfs",       "davfs",    "fuse.sshfs", "fuse.gvfsd-fuse",
    "fuse.rclone", "fuse.davfs2", "fuse.s3fs"};

std::int32_t TypeOfFileSystemName(std::string_view name) {
  for (const auto network : kNetworkFileSystems) {
    if (name == network) return kDriveNetwork;
  }
  if (name == "iso9660" || name == "udf") return kDriveCdRom;
  return kDriveFixed;
}

std::int32_t TypeOfMagic(long magic) {
  switch (static_cast<unsigned long>(magic) & 0xFFFFFFFFUL) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x01021997:  // 9p
    case 0x5346414F:  // AFS
    case 0x00C36400:  // Ceph
    case 0x73757245:  // Coda
      return kDriveNetwork;
    case 0x9660:      // ISO 9660
    case 0x15013346:  // UDF
      return kDriveCdRom;
    default: return kDriveFixed;
  }
}

// The mount table names FUSE file systems ("fuse.sshfs"), which the magic
// number of statfs cannot tell apart.
std::optional<std::string> FileSystemNameOf(dev_t device) {
  const auto table = ReadWholeFile("/proc/self/mountinfo", kMaxMountTableBytes);
  if (!table) return std::nullopt;
  const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
  std::string_view rest = *table;
  while (!rest.empty()) {
    const auto eol = rest.find('\n');
    const std::string_view line = rest.substr(0, eol);
    rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
    // id parent major:minor root mount-point options [optional...] - type source ...
    const auto first = line.find(' ');
    const auto second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    const auto third = second == std::string_view::npos ? second : line.find(' ', second + 1);
    if (third == std::string_view::npos || line.substr(second + 1, third - second - 1) != wanted) {
      continue;
    }
    const auto dash = line.find(" - ");
    if (dash == std::string_view::npos) continue;
    const std::string_view type = line.substr(dash + 3, line.find(' ', dash + 3) - dash - 3);
    return std::string(type);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> DriveTypeFromWineName(TextView name) {
  const Text folded = FoldName(name);
  if (folded == u"hd") return kDriveFixed;
  if (folded == u"network") return kDriveNetwork;
  if (folded == u"cdrom") return kDriveCdRom;
  if (folded == u"floppy") return kDriveRemovable;
  if (folded == u"ramdisk") return kDriveRamDisk;
  return std::nullopt;
}

std::int32_t DriveTypeOfMount(const std::string& unixPath) {
  struct stat st {};
  if (::stat(unixPath.c_str(), &st) != 0) return kDriveUnknown;
  if (const auto name = FileSystemNameOf(st.st_dev)) return TypeOfFileSystemName(*name);
  struct statfs fs {};
  if (::statfs(unixPath.c_str(), &fs) != 0) return kDriveUnknown;
  return TypeOfMagic(fs.f_type);
}

}  // namespace keldo
