#include "support/fake_web.h"

#include "base/errors.h"

namespace keldo {

class FakeWebClient : public WebClient {
 public:
  explicit FakeWebClient(FakeWeb& web) : web_(web) {}
  Text FailureText() const override { return failed_ ? web_.failureText : Text(); }
  std::int32_t LastCallOK() const override { return lastOK_; }

  std::int32_t FetchToFile(const Text& address, const Text& localPath) override {
    if (web_.throwOnFetch) throw RunTimeError(-2147467259, "Unspecified error");
    if (web_.onFetch) web_.onFetch();
    web_.fetches.emplace_back(address, localPath);
    failed_ = web_.fetchResult != 1;
    lastOK_ = failed_ ? 0 : 1;
    if (!failed_) web_.files_.contents[localPath] = web_.fetchBody;
    return web_.fetchResult;
  }

  std::unique_ptr<WebReply> SubmitForm(const Text& address, const FormFields& fields) override {
    if (web_.throwOnSubmit) throw RunTimeError(-2147467259, "Unspecified error");
    web_.submits.emplace_back(address, fields);
    lastOK_ = web_.submitOK;
    failed_ = lastOK_ == 0;
    return std::make_unique<WebReply>(failed_ ? Text() : web_.replyText);
  }

 private:
  FakeWeb& web_;
  std::int32_t lastOK_ = 0;
  bool failed_ = false;
};

namespace {

class FakeFileTool : public FileTool {
 public:
  explicit FakeFileTool(FakeWeb& web) : web_(web) {}
  std::int32_t EnsureFolder(const Text& folder) override {
    if (web_.throwOnEnsure) throw RunTimeError(-2147024891, "Access is denied");
    web_.ensured.push_back(folder);
    return web_.ensureResult;
  }

 private:
  FakeWeb& web_;
};

}  // namespace

std::unique_ptr<WebClient> FakeWeb::NewWebClient() {
  ++clientsMade;
  return std::make_unique<FakeWebClient>(*this);
}

std::unique_ptr<FileTool> FakeWeb::NewFileTool() {
  ++toolsMade;
  return std::make_unique<FakeFileTool>(*this);
}

}  // namespace keldo
