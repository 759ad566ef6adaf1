#pragma once
// The proxy of one https request, from the variables libcurl reads and by
// its rules: https_proxy, then HTTPS_PROXY, then all_proxy and ALL_PROXY;
// no_proxy, else NO_PROXY, exempts hosts. The one proxy chosen here is the
// one handed to libcurl, so the diagnostic line names what was used.
#include <functional>
#include <string>

namespace keldo {

struct CurlProxy {
  std::string proxy;     // as the variable gives it; empty: direct
  std::string variable;  // where the choice came from
};

using EnvironmentReader = std::function<const char*(const char*)>;

CurlProxy ChooseCurlProxy(const std::string& host, const EnvironmentReader& environment);

// True when a no_proxy list exempts `host`: "*" alone exempts every host; a
// name exempts itself and its subdomains (a leading dot changes nothing);
// an IP address, or an address with a /prefix length, exempts that address
// or network.
bool CurlNoProxyMatches(const std::string& list, const std::string& host);

// The proxy as a diagnostic line may show it: without any user name or
// password it holds.
std::string ProxyWithoutCredentials(const std::string& proxy);

}  // namespace keldo
