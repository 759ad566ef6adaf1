#pragma once
// Which proxy a request goes through, decided from the proxy settings
// alone: the order of preference, WinHTTP's proxy lists and bypass lists.
// No system calls, so every rule can be tested as a table.
#include <optional>
#include <string>

namespace keldo {

// What the user's Internet Options and the machine's WinHTTP setting hold.
struct ProxySettings {
  bool userRead = false;       // the user's settings could be read at all
  bool autoDetect = false;     // "Automatically detect settings"
  std::wstring autoConfigUrl;  // "Use automatic configuration script"
  std::wstring userProxy;      // "Use a proxy server", as a WinHTTP proxy list
  std::wstring userBypass;
  std::wstring machineProxy;  // netsh winhttp set proxy
  std::wstring machineBypass;
  bool systemAutomatic = false;  // the system discovers proxies itself (8.1 and later)

  bool Discovers() const { return autoDetect || !autoConfigUrl.empty(); }
};

// What a script or detection answered for one address; nothing when
// discovery failed (no script found, a script that cannot be fetched).
struct Discovered {
  std::wstring proxy;  // a WinHTTP proxy list; empty for DIRECT
};

struct ProxyRoute {
  enum class Kind { Direct, Named, SystemAutomatic };
  Kind kind = Kind::Direct;
  std::wstring proxy;  // "host:port", for Named
  const char* source = "no proxy set";
};

// The route of one https request to `host`:`port`.
ProxyRoute ChooseProxyRoute(const ProxySettings& settings,
                            const std::optional<Discovered>& discovered, const std::wstring& host,
                            unsigned short port);

// The proxy a WinHTTP proxy list names for https: its "https=" entry, else
// its first entry without a scheme; empty when it names none.
std::wstring HttpsProxyOf(const std::wstring& list);

// True when a WinHTTP bypass list exempts `host` (port `port`) from the proxy.
bool BypassesProxy(const std::wstring& bypassList, const std::wstring& host, unsigned short port);

}  // namespace keldo
