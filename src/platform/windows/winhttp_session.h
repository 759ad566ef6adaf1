#pragma once
// A WinHTTP session that honours the user's proxy settings.
#include <windows.h>
#include <winhttp.h>

#include <string>

#include "app/text.h"
#include "platform/windows/unique_handle.h"

struct InternetHandleCloser {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = UniqueHandle<HINTERNET, InternetHandleCloser>;

// How a session reaches the web when the system's automatic proxy (Windows
// 8.1 and later) is not available: the user's browser proxy configuration.
struct BrowserProxy {
  DWORD accessType = WINHTTP_ACCESS_TYPE_NO_PROXY;
  std::wstring proxy;              // for WINHTTP_ACCESS_TYPE_NAMED_PROXY
  std::wstring bypass;
  bool discoverPerRequest = false;  // auto-detect or a configuration script
  std::wstring autoConfigUrl;
};

// A fixed proxy server wins over discovery, as in the browser itself.
BrowserProxy ChooseBrowserProxy(bool autoDetect, const wchar_t* autoConfigUrl,
                                const wchar_t* proxy, const wchar_t* bypass);

class WinHttpSession {
 public:
  // Throws nothing: a session that cannot be opened is empty and keeps the
  // reason in OpenError().
  WinHttpSession();
  HINTERNET get() const { return session_.get(); }
  explicit operator bool() const { return static_cast<bool>(session_); }
  DWORD OpenError() const { return openError_; }
  // Under a browser configuration that discovers its proxy, asks for the
  // proxy of this one request. Failing discovery means going direct.
  void ApplyProxyFor(HINTERNET request, const Text& address) const;

 private:
  InternetHandle session_;
  BrowserProxy browserProxy_;
  DWORD openError_ = 0;
};

// The WinHTTP message text for its own error codes, the system's otherwise.
Text WinHttpErrorText(DWORD code);
