#include "platform/windows/web/web_proxy.h"

#include <chrono>

#include "base/program_version.h"
#include "base/web_limits.h"
#include "platform/windows/text/wide_text.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/web/web_session.h"

namespace keldo {

namespace {

std::wstring TakeGlobal(wchar_t*& text) {
  std::wstring taken = text != nullptr ? text : L"";
  GlobalFree(text);
  text = nullptr;
  return taken;
}

std::optional<Discovered> Discover(const ProxySettings& settings, const Text& address) {
  const InternetHandle session(WinHttpOpen(L"" KELDO_USER_AGENT, WINHTTP_ACCESS_TYPE_NO_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return std::nullopt;
  // A script that cannot be fetched must not hold the check up for long.
  const int ms = static_cast<int>(std::chrono::milliseconds(kProxyScriptTimeout).count());
  WinHttpSetTimeouts(session.get(), ms, ms, ms, ms);
  WINHTTP_AUTOPROXY_OPTIONS options{};
  if (settings.autoDetect) {
    options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
  }
  if (!settings.autoConfigUrl.empty()) {
    options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = settings.autoConfigUrl.c_str();
  }
  // The script's own server may ask who the user is, as the browser allows.
  options.fAutoLogonIfChallenged = TRUE;
  WINHTTP_PROXY_INFO info{};
  if (!WinHttpGetProxyForUrl(session.get(), Wide(address).c_str(), &options, &info)) {
    return std::nullopt;
  }
  Discovered found;
  const std::wstring proxy = TakeGlobal(info.lpszProxy);
  TakeGlobal(info.lpszProxyBypass);
  if (info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY) found.proxy = proxy;
  return found;
}

}  // namespace

ProxySettings ReadProxySettings() {
  ProxySettings settings;
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user{};
  if (WinHttpGetIEProxyConfigForCurrentUser(&user)) {
    settings.userRead = true;
    settings.autoDetect = user.fAutoDetect != FALSE;
    settings.autoConfigUrl = TakeGlobal(user.lpszAutoConfigUrl);
    settings.userProxy = TakeGlobal(user.lpszProxy);
    settings.userBypass = TakeGlobal(user.lpszProxyBypass);
  }
  WINHTTP_PROXY_INFO machine{};
  if (WinHttpGetDefaultProxyConfiguration(&machine)) {
    const std::wstring proxy = TakeGlobal(machine.lpszProxy);
    const std::wstring bypass = TakeGlobal(machine.lpszProxyBypass);
    if (machine.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY) {
      settings.machineProxy = proxy;
      settings.machineBypass = bypass;
    }
  }
  // Windows 8.1 and later discover a proxy themselves; the session falls
  // back to a direct connection where the system has no such thing.
  settings.systemAutomatic = true;
  return settings;
}

ProxyRoute RouteRequest(const ProxySettings& settings, const Text& address, const Text& host,
                        unsigned short port) {
  std::optional<Discovered> discovered;
  // A named proxy comes first (proxy_rules.cpp): no search behind its back.
  if (settings.userRead && settings.userProxy.empty() && settings.Discovers()) {
    discovered = Discover(settings, address);
  }
  return ChooseProxyRoute(settings, discovered, Wide(host), port);
}

SessionProxy SessionProxyFor(const ProxyRoute& route) {
  switch (route.kind) {
    case ProxyRoute::Kind::Named: return {WINHTTP_ACCESS_TYPE_NAMED_PROXY, route.proxy.c_str()};
    case ProxyRoute::Kind::SystemAutomatic:
      return {WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME};
    default: return {WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME};
  }
}

bool ApplyProxyRoute(HINTERNET request, const ProxyRoute& route) {
  if (route.kind == ProxyRoute::Kind::SystemAutomatic) return true;
  WINHTTP_PROXY_INFO info{};
  info.dwAccessType = route.kind == ProxyRoute::Kind::Named ? WINHTTP_ACCESS_TYPE_NAMED_PROXY
                                                            : WINHTTP_ACCESS_TYPE_NO_PROXY;
  std::wstring proxy = route.proxy;
  if (route.kind == ProxyRoute::Kind::Named) info.lpszProxy = proxy.data();
  return WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &info, sizeof info);
}

Text ProxyRouteNote(const Text& address, const ProxyRoute& route) {
  const Text source = FromUtf8(route.source);
  switch (route.kind) {
    case ProxyRoute::Kind::Named:
      return u"Proxy for " + address + u": " + FromWide(route.proxy) + u" (" + source + u")";
    case ProxyRoute::Kind::SystemAutomatic:
      return u"Proxy for " + address + u": as the system finds it (" + source + u")";
    default: return u"Proxy for " + address + u": direct (" + source + u")";
  }
}

DWORD UserLogonScheme(DWORD supportedSchemes, DWORD authTarget) {
  if (authTarget != WINHTTP_AUTH_TARGET_PROXY) return 0;
  if (supportedSchemes & WINHTTP_AUTH_SCHEME_NEGOTIATE) return WINHTTP_AUTH_SCHEME_NEGOTIATE;
  if (supportedSchemes & WINHTTP_AUTH_SCHEME_NTLM) return WINHTTP_AUTH_SCHEME_NTLM;
  return 0;
}

bool OfferUserLogonToProxy(HINTERNET request) {
  DWORD supported = 0, first = 0, target = 0;
  if (!WinHttpQueryAuthSchemes(request, &supported, &first, &target)) return false;
  const DWORD scheme = UserLogonScheme(supported, target);
  // No user name and no password: WinHTTP answers with the logged-on
  // user's own logon, if the autologon policy lets it.
  return scheme != 0 && WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_PROXY, scheme, nullptr,
                                              nullptr, nullptr);
}

}  // namespace keldo
