#include "local/reconnect.h"

#include <algorithm>
#include <exception>
#include <string>

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

bool IsNetworkPath(const Text& path) {
  return path.size() >= 2 && path.compare(0, 2, u"\\\\") == 0;
}

// An open key of the remembered mappings, closed on every way out.
class OpenedKey {
 public:
  explicit OpenedKey(NetworkRegistry& registry) : registry_(registry) {}
  ~OpenedKey() {
    if (open_) registry_.CloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;

  bool Open(const std::string& keyPath) {
    open_ = registry_.OpenKey(keyPath, &key_) == kRegistrySuccess;
    return open_;
  }
  RegistryKey get() const { return key_; }

 private:
  NetworkRegistry& registry_;
  RegistryKey key_ = 0;
  bool open_ = false;
};

}  // namespace

int ReconnectDrives(NetworkRegistry& registry, DriveMapper& mapper, DebugSink& debug) {
  int started = 0;
  for (int i = 1; i <= 26; ++i) {
    const Text letter(1, static_cast<char16_t>(i + 64));
    const Text remote = GetRemotePath(registry, letter);
    if (IsNetworkPath(remote) && MapDrive(mapper, letter, remote, debug)) ++started;
  }
  return started;
}

Text GetRemotePath(NetworkRegistry& registry, Text letter) {
  const Text nothing = u"nothing";
  const std::string keyPath = AnsiKeyPath(NetworkKeyPath(letter));
  const std::string valueName = "RemotePath";

  OpenedKey key(registry);
  if (!key.Open(keyPath)) return nothing;

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  RegistryStatus status = registry.QueryValue(key.get(), valueName, &type, nullptr, &size);
  if (status != kRegistrySuccess || static_cast<std::int32_t>(size) <= 0 ||
      size > kMaxRemotePathBytes) {
    return nothing;
  }

  std::string buffer(size, ' ');
  std::uint32_t byteCount = size;
  status = registry.QueryValue(key.get(), valueName, &type,
                               reinterpret_cast<unsigned char*>(buffer.data()), &byteCount);
  if (status != kRegistrySuccess) return nothing;
  // The size from the first query counts the terminating NUL; the count the
  // second query writes back is deliberately not used.
  Text result = registry.FromAnsi(buffer).substr(0, size - 1);
  // A path ends at its first NUL: a value stored with NULs after its text,
  // or a size query that counts more than the ANSI text (Windows may give
  // the UTF-16 size), would otherwise carry NULs and padding along.
  result.resize(std::min(result.size(), result.find(u'\0')));
  return result;
}

bool CanCarryRemotePath(const Text& remotePath) { return remotePath.find(u'\0') == Text::npos; }

Text NetworkKeyPath(Text letter) {
  if (letter.empty()) return Text();
  return u"Network\\" + letter;
}

bool MapDrive(DriveMapper& mapper, const Text& letter, const Text& remotePath, DebugSink& debug) {
  // A failed re-mapping only means that the second search misses that
  // drive: the run goes on, and only the diagnostic line tells why.
  if (!CanCarryRemotePath(remotePath)) {
    debug.DebugMsg(u"Cannot start the re-mapping of drive " + letter +
                   u": its remembered path holds a NUL");
    return false;
  }
  try {
    mapper.StartMapping(letter, remotePath);
    return true;
  } catch (const std::exception& e) {
    debug.DebugMsg(FromUtf8(e.what()));
    return false;
  }
}

void AwaitMappings(DriveMapper& mapper, DebugSink& debug) {
  try {
    mapper.WaitForStarted(kMappingWaitBound);
  } catch (const std::exception& e) {
    debug.DebugMsg(FromUtf8(e.what()));
  }
}

}  // namespace keldo
