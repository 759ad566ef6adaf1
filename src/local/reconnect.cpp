#include <algorithm>
#include <exception>
#include <string>

#include "app/main_check.h"
#include "local/net_use_command.h"

namespace keldo {

namespace {

// A remembered path is read into memory whole; no real one comes near this.
constexpr std::uint32_t kMaxRemotePathBytes = 64 * 1024;

// Registry key paths are passed to the ANSI calls; letters are ASCII.
std::string AnsiKeyPath(const Text& keyPath) {
  std::string ansi;
  ansi.reserve(keyPath.size());
  for (const char16_t c : keyPath) ansi.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return ansi;
}

bool IsNetworkPath(const Text& path) { return path.size() >= 2 && path.compare(0, 2, u"\\\\") == 0; }

}  // namespace

void General::ReconnectDrives(NetworkRegistry& registry, DriveMapper& mapper) {
  for (int i = 1; i <= 26; ++i) {
    const Text letter(1, static_cast<char16_t>(i + 64));
    const Text remote = GetRemotePath(registry, letter);
    if (IsNetworkPath(remote)) MapDrive(mapper, letter, remote);
  }
}

Text General::GetRemotePath(NetworkRegistry& registry, Text letter) {
  const Text nothing = u"nothing";
  const std::string keyPath = AnsiKeyPath(NetworkKeyPath(letter));
  const std::string valueName = "RemotePath";

  RegistryKey key = 0;
  if (registry.OpenKey(keyPath, &key) != kRegistrySuccess) return nothing;

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  RegistryStatus status = registry.QueryValue(key, valueName, &type, nullptr, &size);
  if (status != kRegistrySuccess || static_cast<std::int32_t>(size) <= 0 ||
      size > kMaxRemotePathBytes) {
    registry.CloseKey(key);
    return nothing;
  }

  std::string buffer(size, ' ');
  std::uint32_t byteCount = size;
  status = registry.QueryValue(key, valueName, &type,
                               reinterpret_cast<unsigned char*>(buffer.data()), &byteCount);
  if (status != kRegistrySuccess) {
    registry.CloseKey(key);
    return nothing;
  }
  // The size from the first query counts the terminating NUL; the count the
  // second query writes back is deliberately not used.
  Text result = registry.FromAnsi(buffer).substr(0, size - 1);
  registry.CloseKey(key);
  // A path ends at its first NUL: a value stored with NULs after its text,
  // or a size query that counts more than the ANSI text (Windows may give
  // the UTF-16 size), would otherwise carry NULs and padding along.
  result.resize(std::min(result.size(), result.find(u'\0')));
  return result;
}

Text General::NetworkKeyPath(Text letter) {
  if (letter.empty()) return Text();
  return u"Network\\" + letter;
}

void General::MapDrive(DriveMapper& mapper, const Text& letter, const Text& remotePath) {
  // A failed re-mapping only means the second search misses that drive, so
  // nothing here is reported.
  try {
    if (!IsSafeRemotePath(remotePath)) return;
    mapper.StartMapping(letter, remotePath);
  } catch (const std::exception&) {
  }
}

}  // namespace keldo
