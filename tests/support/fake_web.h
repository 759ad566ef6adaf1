#pragma once
// The web component, the clock and the file tool as records. Every client
// the core makes shares this state, so a test sets the answers up front and
// reads back what was asked.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/clock.h"
#include "base/web_component.h"
#include "support/fake_local.h"

namespace keldo {

class FakeWeb : public WebComponent {
 public:
  explicit FakeWeb(FakeTextFiles& files) : files_(files) {}
  std::unique_ptr<WebClient> NewWebClient() override;
  std::unique_ptr<FileTool> NewFileTool() override;

  // FetchToFile: its result; on 1 the body lands in the file.
  std::int32_t fetchResult = 1;
  std::string fetchBody;
  bool throwOnFetch = false;
  std::function<void()> onFetch;  // runs as the download starts
  // SubmitForm: whether an answer came, and its body.
  std::int32_t submitOK = 1;
  Text replyText;
  bool throwOnSubmit = false;
  Text failureText = u"12029 A connection with the server could not be established";
  // EnsureFolder: its result, or a thrown fault.
  std::int32_t ensureResult = 1;
  bool throwOnEnsure = false;

  std::vector<std::pair<Text, Text>> fetches;  // address, local path
  std::vector<std::pair<Text, FormFields>> submits;
  std::vector<Text> ensured;
  int clientsMade = 0;
  int toolsMade = 0;

 private:
  friend class FakeWebClient;
  FakeTextFiles& files_;
};

class FakeClock : public Clock {
 public:
  LocalDateTime Now() override {
    ++calls;
    return now;
  }
  LocalDateTime now{2024, 12, 1, 9, 30, 15};
  int calls = 0;
};

}  // namespace keldo
