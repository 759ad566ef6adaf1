#include "platform/windows/web/proxy_rules.h"

#include <cwctype>
#include <vector>

namespace keldo {

namespace {

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// WinHTTP separates list entries with semicolons or white space.
std::vector<std::wstring> Entries(const std::wstring& list) {
  std::vector<std::wstring> entries;
  std::wstring entry;
  for (const wchar_t c : list + L";") {
    if (c == L';' || c == L',' || std::iswspace(c)) {
      if (!entry.empty()) entries.push_back(entry);
      entry.clear();
    } else {
      entry.push_back(c);
    }
  }
  return entries;
}

// '*' stands for any run of characters; the rest compares without case.
bool WildcardMatch(const std::wstring& pattern, const std::wstring& text) {
  std::size_t p = 0, t = 0, star = std::wstring::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::wstring::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

std::wstring WithoutScheme(const std::wstring& server) {
  const auto at = server.find(L"://");
  return at == std::wstring::npos ? server : server.substr(at + 3);
}

ProxyRoute Direct(const char* source) {
  ProxyRoute route;
  route.source = source;
  return route;
}

ProxyRoute Through(const std::wstring& proxy, const char* source) {
  ProxyRoute route;
  route.kind = ProxyRoute::Kind::Named;
  route.proxy = proxy;
  route.source = source;
  return route;
}

}  // namespace

std::wstring HttpsProxyOf(const std::wstring& list) {
  std::wstring plain;
  for (const auto& entry : Entries(list)) {
    const auto equals = entry.find(L'=');
    if (equals == std::wstring::npos) {
      if (plain.empty()) plain = WithoutScheme(entry);
    } else if (Lower(entry.substr(0, equals)) == L"https" && equals + 1 < entry.size()) {
      return WithoutScheme(entry.substr(equals + 1));
    }
  }
  return plain;
}

bool BypassesProxy(const std::wstring& bypassList, const std::wstring& host, unsigned short port) {
  const std::wstring name = Lower(host);
  const std::wstring withPort = name + L":" + std::to_wstring(port);
  for (auto entry : Entries(Lower(bypassList))) {
    if (entry == L"<local>") {
      if (name.find(L'.') == std::wstring::npos && name.find(L':') == std::wstring::npos)
        return true;
      continue;
    }
    const auto scheme = entry.find(L"://");
    if (scheme != std::wstring::npos) {
      if (entry.substr(0, scheme) != L"https") continue;
      entry = entry.substr(scheme + 3);
    }
    if (WildcardMatch(entry, name) || WildcardMatch(entry, withPort)) return true;
  }
  return false;
}

// The order of preference, first match wins:
// 1. The user's own proxy server and bypass list, used as named: a fixed
//    proxy wins over discovery, as in the browser itself, and Windows has
//    "Automatically detect settings" on by default, so putting detection
//    first would cost every request a fruitless search where the user named
//    the proxy plainly.
// 2. The user's configuration script or automatic detection, asked for every
//    request: a script may steer each address differently, and its DIRECT is
//    an answer like any other.
// 3. The machine's WinHTTP proxy (netsh winhttp set proxy), for PCs whose
//    administrator set one for programs and left the user's settings alone,
//    or whose script or detection found nothing.
// 4. The system's own discovery, only where the user's settings could not be
//    read at all (Windows 8.1 and later have one); where they could, it would
//    only repeat the detection of step 2.
// 5. Direct.
// A named proxy is handed to WinHTTP as the one "host:port" chosen here, so
// the diagnostic line names exactly the proxy that was used.
ProxyRoute ChooseProxyRoute(const ProxySettings& settings,
                            const std::optional<Discovered>& discovered, const std::wstring& host,
                            unsigned short port) {
  if (settings.userRead && !settings.userProxy.empty()) {
    if (BypassesProxy(settings.userBypass, host, port)) return Direct("the user's bypass list");
    const std::wstring proxy = HttpsProxyOf(settings.userProxy);
    return proxy.empty() ? Direct("the user's proxy is not for https")
                         : Through(proxy, "the user's proxy server");
  }
  if (settings.userRead && settings.Discovers() && discovered) {
    const char* source =
        settings.autoConfigUrl.empty() ? "automatic detection" : "the user's configuration script";
    const std::wstring proxy = HttpsProxyOf(discovered->proxy);
    return proxy.empty() ? Direct(source) : Through(proxy, source);
  }
  if (!settings.machineProxy.empty()) {
    if (BypassesProxy(settings.machineBypass, host, port))
      return Direct("the machine's bypass list");
    const std::wstring proxy = HttpsProxyOf(settings.machineProxy);
    return proxy.empty() ? Direct("the machine's proxy is not for https")
                         : Through(proxy, "the machine's WinHTTP proxy");
  }
  if (!settings.userRead && settings.systemAutomatic) {
    ProxyRoute route;
    route.kind = ProxyRoute::Kind::SystemAutomatic;
    route.source = "the system's automatic proxy";
    return route;
  }
  if (settings.userRead && settings.Discovers()) return Direct("no proxy discovered");
  return Direct("no proxy set");
}

}  // namespace keldo
