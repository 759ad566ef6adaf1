#include "support/fake_local.h"

#include <algorithm>
#include <cstring>

#include "base/errors.h"

namespace keldo {

Text FakeSettings::GetSetting(const Text& application, const Text& section, const Text& key) {
  const auto found = values.find({application, section, key});
  return found == values.end() ? Text() : found->second;
}

std::vector<DriveEntry> FakeFileSystem::Drives() {
  if (throwOnDrives) throw RunTimeError(71, "Disk not ready");
  const std::size_t pass =
      std::min<std::size_t>(drivesCalls, passes.empty() ? 0 : passes.size() - 1);
  ++drivesCalls;
  current_ = passes.empty() ? std::vector<DriveEntry>{} : passes[pass];
  return current_;
}

bool FakeFileSystem::FileExists(const Text& path) {
  tested.push_back(path);
  if (drivesCalls == 0 && !passes.empty()) current_ = passes.front();
  const bool driveThere = std::any_of(current_.begin(), current_.end(), [&](const DriveEntry& d) {
    return !path.empty() && d.letter == path.substr(0, 1);
  });
  return driveThere && files_.Exists(path);
}

RegistryStatus FakeRegistry::OpenKey(const std::string& subKey, RegistryKey* key) {
  calls.push_back("open " + subKey);
  if (keys.count(subKey) == 0) return kNotFound;
  opened_.push_back(subKey);
  *key = opened_.size();
  ++openKeys;
  return kRegistrySuccess;
}

RegistryStatus FakeRegistry::QueryValue(RegistryKey key, const std::string& valueName,
                                        std::uint32_t* type, unsigned char* data,
                                        std::uint32_t* size) {
  calls.push_back((data ? "data " : "size ") + valueName + " " + std::to_string(*size));
  if (key == 0 || key > opened_.size() || valueName != "RemotePath") return kNotFound;
  Value& value = keys.at(opened_[key - 1]);
  if (!value.present) return kNotFound;
  if (type) *type = value.type;
  const auto needed = static_cast<std::uint32_t>(value.bytes.size());
  if (data == nullptr) {
    *size = needed;
    value.bytes.insert(value.bytes.size() - (value.bytes.empty() ? 0 : 1), value.growAfterSizeQuery,
                       'x');
    return kRegistrySuccess;
  }
  if (*size < needed) {
    *size = needed;
    return kMoreData;
  }
  std::memcpy(data, value.bytes.data(), needed);
  *size = needed;
  return kRegistrySuccess;
}

RegistryStatus FakeRegistry::CloseKey(RegistryKey) {
  calls.push_back("close");
  --openKeys;
  return kRegistrySuccess;
}

void FakeMapper::StartMapping(const Text& letter, const Text& remotePath) {
  if (throwFor.count(letter)) {
    throw RunTimeError(
        2, PlatformFailureText("Starting net use " + ToUtf8(letter) + ": " + ToUtf8(remotePath),
                               "The system cannot find the file specified.", 2));
  }
  started.emplace_back(letter, remotePath);
}

void FakeMapper::WaitForStarted(std::chrono::milliseconds bound) {
  const std::size_t count = started.size() - awaited_;
  awaited_ = started.size();
  waits.emplace_back(bound, count);
  if (log_) {
    log_->push_back("wait: " + std::to_string(bound.count()) + " ms for " + std::to_string(count));
  }
  if (failWait)
    throw RunTimeError(
        6, PlatformFailureText("Waiting for the re-mapping commands", "The handle is invalid.", 6));
}

namespace {

class FakeInputFile : public InputFile {
 public:
  FakeInputFile(FakeTextFiles& owner, std::string bytes, bool failRead)
      : owner_(owner), bytes_(std::move(bytes)), failRead_(failRead) {
    ++owner_.openHandles;
  }
  ~FakeInputFile() override { --owner_.openHandles; }
  std::size_t Read(char* buffer, std::size_t count) override {
    if (failRead_) throw RunTimeError(5, "Access is denied");
    std::size_t chunk = owner_.readChunk;
    if (!owner_.chunks.empty()) {
      chunk = owner_.chunks[reads_++ % owner_.chunks.size()];
      if (chunk == 0) chunk = count;
    }
    const std::size_t n = std::min({count, chunk, bytes_.size() - at_});
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }

 private:
  FakeTextFiles& owner_;
  std::string bytes_;
  bool failRead_;
  std::size_t at_ = 0;
  std::size_t reads_ = 0;
};

}  // namespace

std::unique_ptr<InputFile> FakeTextFiles::OpenForInput(const Text& path) {
  if (failOpen.count(path) || !Exists(path))
    throw RunTimeError(53, "File not found: " + ToUtf8(path));
  ++opens;
  return std::make_unique<FakeInputFile>(*this, contents.at(path), failRead.count(path) != 0);
}

void FakeTextFiles::RemoveFile(const Text& path) {
  if (failDelete.count(path) || !Exists(path)) throw RunTimeError(75, "Path/File access error");
  contents.erase(path);
  deleted.push_back(path);
}

}  // namespace keldo
