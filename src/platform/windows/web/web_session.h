#pragma once
// A WinHTTP session, opened for the proxy route of its requests.
#include <windows.h>
#include <winhttp.h>

#include <string>

#include "base/text.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/web/proxy_rules.h"

namespace keldo {

struct InternetHandleCloser {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = UniqueHandle<HINTERNET, InternetHandleCloser>;

class WinHttpSession {
 public:
  // Throws nothing: a session that cannot be opened is empty and keeps the
  // reason in OpenError().
  // A route to the system's automatic proxy becomes a direct one where the
  // system has none (before Windows 8.1).
  explicit WinHttpSession(ProxyRoute& route);
  HINTERNET get() const { return session_.get(); }
  explicit operator bool() const { return static_cast<bool>(session_); }
  DWORD OpenError() const { return openError_; }

 private:
  InternetHandle session_;
  DWORD openError_ = 0;
};

// The WinHTTP message text for its own error codes, the system's otherwise.
Text WinHttpErrorText(DWORD code);

}  // namespace keldo
