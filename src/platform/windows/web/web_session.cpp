#include "platform/windows/web/web_session.h"

#include "base/program_version.h"
#include "platform/windows/text/wide_text.h"
#include "platform/windows/web/web_proxy.h"
#include "platform/windows/win_error.h"

namespace keldo {

namespace {

constexpr const wchar_t* kUserAgent = L"" KELDO_USER_AGENT;

}  // namespace

WinHttpSession::WinHttpSession(ProxyRoute& route) {
  const SessionProxy proxy = SessionProxyFor(route);
  session_.reset(
      WinHttpOpen(kUserAgent, proxy.accessType, proxy.proxy, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session_ && route.kind == ProxyRoute::Kind::SystemAutomatic) {
    route = ProxyRoute{};
    route.source = "no proxy set, and no automatic proxy on this system";
    session_.reset(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
  }
  if (!session_) openError_ = GetLastError();
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

}  // namespace keldo
