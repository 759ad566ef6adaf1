#pragma once
// The proxy of one https request, from the variables libcurl reads and by
// its rules: https_proxy, then HTTPS_PROXY, then all_proxy and ALL_PROXY;
// no_proxy, else NO_PROXY, exempts hosts. A variable set but empty counts
// as unset, as libcurl reads it. The one proxy chosen here is the one handed
// to libcurl, so the diagnostic line names what was used.
#include <functional>
#include <string>

namespace keldo {

struct CurlProxy {
  std::string proxy;     // as the variable gives it; empty: direct
  std::string variable;  // where the choice came from
};

using EnvironmentReader = std::function<const char*(const char*)>;

// `host` as CurlHostName gives it.
CurlProxy ChooseCurlProxy(const std::string& host, const EnvironmentReader& environment);

// The host of `url` as libcurl matches it against no_proxy: as written, an
// IPv6 address without its brackets; empty when the URL cannot be parsed,
// and then the request fails on its own.
std::string CurlHostName(const std::string& url);

// True when a no_proxy list exempts `host`, by libcurl's rules: only the
// whole list "*" exempts every host; entries are split at commas, blanks
// and tabs; a name exempts itself and its subdomains (a leading or trailing
// dot changes nothing), in any letter case; for an IPv4 host, an address
// with a /prefix length exempts that network (a length that is no number
// counts as none: the address alone).
bool CurlNoProxyMatches(const std::string& list, const std::string& host);

}  // namespace keldo
