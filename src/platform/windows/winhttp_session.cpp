#include "platform/windows/winhttp_session.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/win_error.h"

namespace {

constexpr const wchar_t* kUserAgent = L"CheckKeldoSupport/1.00.0001";

// Frees the strings that WinHttpGetIEProxyConfigForCurrentUser hands over.
struct BrowserConfig {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
  ~BrowserConfig() {
    GlobalFree(config.lpszAutoConfigUrl);
    GlobalFree(config.lpszProxy);
    GlobalFree(config.lpszProxyBypass);
  }
};

bool Present(const wchar_t* text) { return text != nullptr && *text != L'\0'; }

}  // namespace

BrowserProxy ChooseBrowserProxy(bool autoDetect, const wchar_t* autoConfigUrl,
                                const wchar_t* proxy, const wchar_t* bypass) {
  BrowserProxy choice;
  if (Present(proxy)) {
    choice.accessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    choice.proxy = proxy;
    if (Present(bypass)) choice.bypass = bypass;
    return choice;
  }
  choice.discoverPerRequest = autoDetect || Present(autoConfigUrl);
  if (Present(autoConfigUrl)) choice.autoConfigUrl = autoConfigUrl;
  return choice;
}

WinHttpSession::WinHttpSession() {
  session_.reset(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                             WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (session_) return;
  // Before Windows 8.1 there is no automatic proxy: use the browser's.
  BrowserConfig browser;
  if (WinHttpGetIEProxyConfigForCurrentUser(&browser.config)) {
    browserProxy_ = ChooseBrowserProxy(browser.config.fAutoDetect, browser.config.lpszAutoConfigUrl,
                                       browser.config.lpszProxy, browser.config.lpszProxyBypass);
  }
  const bool named = browserProxy_.accessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  session_.reset(WinHttpOpen(
      kUserAgent, browserProxy_.accessType, named ? browserProxy_.proxy.c_str() : WINHTTP_NO_PROXY_NAME,
      named && !browserProxy_.bypass.empty() ? browserProxy_.bypass.c_str() : WINHTTP_NO_PROXY_BYPASS,
      0));
  if (!session_) openError_ = GetLastError();
}

void WinHttpSession::ApplyProxyFor(HINTERNET request, const Text& address) const {
  if (!browserProxy_.discoverPerRequest) return;
  WINHTTP_AUTOPROXY_OPTIONS options{};
  if (browserProxy_.autoConfigUrl.empty()) {
    options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
  } else {
    options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = browserProxy_.autoConfigUrl.c_str();
  }
  options.fAutoLogonIfChallenged = TRUE;
  WINHTTP_PROXY_INFO info{};
  if (!WinHttpGetProxyForUrl(session_.get(), Wide(address).c_str(), &options, &info)) return;
  WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &info, sizeof info);
  GlobalFree(info.lpszProxy);
  GlobalFree(info.lpszProxyBypass);
}

Text WinHttpErrorText(DWORD code) {
  if (code >= WINHTTP_ERROR_BASE && code <= WINHTTP_ERROR_LAST) {
    if (const HMODULE winhttp = GetModuleHandleW(L"winhttp.dll")) {
      const Text text = ErrorText(code, winhttp);
      if (text != u"unknown error") return text;
    }
  }
  return ErrorText(code);
}
