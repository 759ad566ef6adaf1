#pragma once
// The web component: an HTTPS client, its reply and a file-access tool.
// Network and server failures come back as results (FetchToFile other than
// 1, LastCallOK 0, FailureText set). Only a fault of the component itself
// is thrown, as RunTimeError, which the caller may or may not trap.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/form_fields.h"
#include "base/text.h"

namespace keldo {

// No reply or download may exceed this; a larger one is a failed call, never
// a truncated success.
inline constexpr std::size_t kMaxReplyBytes = 1024 * 1024;
// Nor may what comes around the body: status lines, headers, trailers and
// interim answers together. More is a failed call.
inline constexpr std::size_t kMaxReplyHeadBytes = 64 * 1024;

class WebReply {
 public:
  explicit WebReply(Text body) : body_(std::move(body)) {}
  // The whole answer body.
  const Text& ReplyText() const { return body_; }

 private:
  Text body_;
};

class WebClient {
 public:
  virtual ~WebClient() = default;
  // Describes the last failure, with the platform's code and text; empty
  // when the last call succeeded (FetchToFile 1, a form post that got its
  // answer, whatever its status).
  virtual Text FailureText() const = 0;
  // Non-zero when the last call got a complete HTTP answer (any status).
  virtual std::int32_t LastCallOK() const = 0;
  // For the diagnostic lines: one line per request of the last call (a
  // redirect is another request) naming the proxy it went through, or
  // "direct", and any line on trust the component has. None from a
  // component that cannot tell.
  virtual std::vector<Text> RouteNotes() const { return {}; }
  // 1 only for a 2xx answer whose whole body now replaces `localPath`;
  // any other value: no usable download, and `localPath` is untouched.
  virtual std::int32_t FetchToFile(const Text& address, const Text& localPath) = 0;
  // Posts the fields as a form. Always returns a reply; its text is the
  // answer body when LastCallOK is non-zero and empty otherwise.
  virtual std::unique_ptr<WebReply> SubmitForm(const Text& address, const FormFields& fields) = 0;
};

// What a web client's last call left behind, kept the same way by every
// platform's client: each call starts with StartCall and records as it goes.
class WebCallRecord : public WebClient {
 public:
  Text FailureText() const final { return failure_; }
  std::int32_t LastCallOK() const final { return lastCallOK_; }
  std::vector<Text> RouteNotes() const final { return routeNotes_; }

 protected:
  // Forgets the call before.
  void StartCall() {
    failure_.clear();
    lastCallOK_ = 0;
    routeNotes_.clear();
  }

  Text failure_;
  std::int32_t lastCallOK_ = 0;
  std::vector<Text> routeNotes_;
};

class FileTool {
 public:
  virtual ~FileTool() = default;
  // `folder` ends in a backslash. Non-zero when the folder exists
  // afterwards, found or created (parents included); 0 when it does not.
  virtual std::int32_t EnsureFolder(const Text& folder) = 0;
};

// Makes the component's objects; each call gives a new one.
class WebComponent {
 public:
  virtual ~WebComponent() = default;
  virtual std::unique_ptr<WebClient> NewWebClient() = 0;
  virtual std::unique_ptr<FileTool> NewFileTool() = 0;
};

}  // namespace keldo
