#pragma once
// In-memory stand-ins of the local ports: settings, drives, the remembered
// network mappings, the re-mapping starter and first-line file input.
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/debug_sink.h"
#include "base/ports.h"

namespace keldo {

class FakeSettings : public SettingsStore {
 public:
  // Stores under the product's own application and section.
  void Set(const Text& key, const Text& value) { values[{u"Keldo6", u"ThisPC", key}] = value; }
  Text GetSetting(const Text& application, const Text& section, const Text& key) override;
  std::map<std::tuple<Text, Text, Text>, Text> values;
};

class FakeTextFiles;

// Pass n of the drive list is passes[n], the last one repeating. A file
// exists when FakeTextFiles holds it and its drive is in the current list,
// so a drive that appears in a later pass brings its files with it.
class FakeFileSystem : public FileSystem {
 public:
  explicit FakeFileSystem(FakeTextFiles& files) : files_(files) {}
  std::vector<DriveEntry> Drives() override;
  bool FileExists(const Text& path) override;

  std::vector<std::vector<DriveEntry>> passes;
  bool throwOnDrives = false;
  int drivesCalls = 0;
  std::vector<Text> tested;

 private:
  FakeTextFiles& files_;
  std::vector<DriveEntry> current_;
};

// RegOpenKeyExA / RegQueryValueExA / RegCloseKey over a map of subkeys,
// each holding one "RemotePath" value.
class FakeRegistry : public NetworkRegistry {
 public:
  struct Value {
    std::uint32_t type = 1;  // REG_SZ
    std::string bytes;       // as stored, terminating NUL included for texts
    std::size_t growAfterSizeQuery = 0;
    bool present = true;  // false: the key exists without the value
  };
  static constexpr RegistryStatus kNotFound = 2;
  static constexpr RegistryStatus kMoreData = 234;

  void SetText(const std::string& subKey, const std::string& text) {
    keys[subKey] = Value{1, text + '\0', 0, true};
  }
  RegistryStatus OpenKey(const std::string& subKey, RegistryKey* key) override;
  RegistryStatus QueryValue(RegistryKey key, const std::string& valueName, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) override;
  RegistryStatus CloseKey(RegistryKey key) override;
  Text FromAnsi(const std::string& bytes) override { return FromWindows1252(bytes); }

  std::map<std::string, Value> keys;
  // "open Network\F", "size RemotePath 0", "data RemotePath 14", "close".
  std::vector<std::string> calls;
  int openKeys = 0;

 private:
  std::vector<std::string> opened_;  // handle - 1 → subkey
};

// Records what is started and awaited. Given a log (the rig passes the
// view's), each wait is also a line there, "wait: <bound> ms for <n>", so a
// test sees it in order among the searches' diagnostic lines.
class FakeMapper : public DriveMapper {
 public:
  FakeMapper() = default;
  explicit FakeMapper(std::vector<std::string>& log) : log_(&log) {}
  void StartMapping(const Text& letter, const Text& remotePath) override;
  void WaitForStarted(std::chrono::milliseconds bound) override;

  std::vector<std::pair<Text, Text>> started;
  std::set<Text> throwFor;  // letters whose start fails
  // Each wait: its bound and how many commands were started since the last.
  std::vector<std::pair<std::chrono::milliseconds, std::size_t>> waits;
  bool failWait = false;

 private:
  std::vector<std::string>* log_ = nullptr;
  std::size_t awaited_ = 0;
};

// The diagnostic lines a probe sends, in order.
class RecordedDebug : public DebugSink {
 public:
  void DebugMsg(const Text& text) override { lines.push_back(ToUtf8(text)); }
  std::vector<std::string> lines;
};

class FakeTextFiles : public TextFiles {
 public:
  std::unique_ptr<InputFile> OpenForInput(const Text& path) override;
  void RemoveFile(const Text& path) override;
  Text FromAnsi(const std::string& bytes) override { return FromWindows1252(bytes); }
  bool Exists(const Text& path) const { return contents.count(path) != 0; }

  std::map<Text, std::string> contents;
  std::set<Text> failOpen, failRead, failDelete;
  std::size_t readChunk = 7;  // small, so a line spans several reads
  // When not empty, the sizes of a file's reads in turn instead of
  // readChunk, 0 meaning as much as asked: a fuzzer picks every split.
  std::vector<std::size_t> chunks;
  int openHandles = 0;
  int opens = 0;
  std::vector<Text> deleted;
};

}  // namespace keldo
