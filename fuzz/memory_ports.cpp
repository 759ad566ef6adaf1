#include "memory_ports.h"

#include <algorithm>
#include <cstring>

namespace keldo {

namespace {

class ChunkedFile : public InputFile {
 public:
  explicit ChunkedFile(ChunkedTextFiles& owner) : owner_(owner) { ++owner_.opened; }
  ~ChunkedFile() override { ++owner_.closed; }

  std::size_t Read(char* buffer, std::size_t count) override {
    std::size_t take = std::min(count, owner_.content.size() - at_);
    if (!owner_.chunks.empty()) {
      const std::size_t chunk = owner_.chunks[reads_++ % owner_.chunks.size()];
      if (chunk != 0) take = std::min(take, chunk);
    }
    std::memcpy(buffer, owner_.content.data() + at_, take);
    at_ += take;
    return take;
  }

 private:
  ChunkedTextFiles& owner_;
  std::size_t at_ = 0;
  std::size_t reads_ = 0;
};

class CannedClient : public WebClient {
 public:
  explicit CannedClient(const Text& body) : body_(body) {}
  Text FailureText() const override { return Text(); }
  std::int32_t LastCallOK() const override { return 1; }
  std::int32_t FetchToFile(const Text&, const Text&) override { return 0; }
  std::unique_ptr<WebReply> SubmitForm(const Text&, const FormFields&) override {
    return std::make_unique<WebReply>(body_);
  }

 private:
  const Text& body_;
};

class AlwaysThere : public FileTool {
 public:
  std::int32_t EnsureFolder(const Text&) override { return 1; }
};

}  // namespace

std::unique_ptr<InputFile> ChunkedTextFiles::OpenForInput(const Text&) {
  return std::make_unique<ChunkedFile>(*this);
}

std::unique_ptr<WebClient> CannedWeb::NewWebClient() { return std::make_unique<CannedClient>(body); }
std::unique_ptr<FileTool> CannedWeb::NewFileTool() { return std::make_unique<AlwaysThere>(); }

}  // namespace keldo
