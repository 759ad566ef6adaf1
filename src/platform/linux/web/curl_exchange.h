#pragma once
// One HTTPS exchange through libcurl, with every limit this program sets:
// verification always on, https only (redirects included, at most kMaxRedirects),
// time-outs, and the reply cap.
#include <chrono>
#include <optional>
#include <string>

#include "base/web_limits.h"
#include "platform/linux/web/web_session.h"

namespace keldo {

struct WebLimits {
  std::chrono::milliseconds connect{kWebConnectTimeout};
  std::chrono::milliseconds total{kWebCallTimeout};
  // A transfer slower than this many bytes per second for lowSpeedTime is
  // given up.
  long lowSpeedBytesPerSecond = kWebLowSpeedBytesPerSecond;
  std::chrono::seconds lowSpeedTime{kWebStallTimeout};
};

struct Exchange {
  bool answered = false;  // a complete HTTP answer, of any status
  long status = 0;
  std::string body;       // at most kMaxReplyBytes
  std::string failure;    // when not answered: why, with the address and curl's own text and code
  std::string route;      // the proxy used, or "direct", and why
  std::string trustNote;  // why the system's bundle is read, when it is
};

// `formBody` present: a POST of that application/x-www-form-urlencoded body.
// Throws RunTimeError only when libcurl cannot be set up at all.
Exchange RunExchange(CurlSession& session, const std::string& url,
                     const std::optional<std::string>& formBody, const WebLimits& limits);

}  // namespace keldo
