#pragma once
// The proxy of each request, from the user's own settings and the
// machine's (the order is in proxy_rules.cpp), and the answer to a proxy
// that asks who the user is.
#include <windows.h>
#include <winhttp.h>

#include <string>

#include "base/text.h"
#include "platform/windows/web/proxy_rules.h"

namespace keldo {

// The user's Internet Options and the machine's WinHTTP proxy, read afresh
// for each call so a changed setting counts from the next check on.
ProxySettings ReadProxySettings();

// Asks the user's script or detection, when the settings use them, and
// chooses the route of one request to `address`.
ProxyRoute RouteRequest(const ProxySettings& settings, const Text& address, const Text& host,
                        unsigned short port);

// The session's opening arguments for a route. WinHTTP under Wine ignores a
// proxy set on a request, so the session carries it as well.
struct SessionProxy {
  DWORD accessType;
  const wchar_t* proxy;  // points into the route
};
SessionProxy SessionProxyFor(const ProxyRoute& route);

// Sets the route on the request itself, which Windows honours whatever
// the session was opened with.
bool ApplyProxyRoute(HINTERNET request, const ProxyRoute& route);

// The diagnostic line naming the proxy of one request, or "direct".
Text ProxyRouteNote(const Text& address, const ProxyRoute& route);

// The scheme to answer a proxy's 407 with, using the logged-on user's own
// logon: Negotiate or NTLM only, and only when it is the proxy that asks;
// 0 for anything else (Basic and Digest would need a typed password).
DWORD UserLogonScheme(DWORD supportedSchemes, DWORD authTarget);

// After a 407: offers the logged-on user's own logon to a proxy that asks
// for Negotiate or NTLM. Nothing is prompted for or stored, and the
// system's autologon policy still decides whether the logon is sent. False
// when the proxy asks for anything else.
bool OfferUserLogonToProxy(HINTERNET request);

}  // namespace keldo
