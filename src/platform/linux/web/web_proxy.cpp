#include "platform/linux/web/web_proxy.h"

#include <arpa/inet.h>
#include <curl/curl.h>

#include <strings.h>
#include <cstdlib>
#include <cstring>

namespace keldo {

namespace {

constexpr std::size_t kMaxNetworkEntry = 128;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What libcurl reads from an environment variable: nothing when it is unset
// or empty.
const char* Variable(const EnvironmentReader& environment, const char* name) {
  const char* value = environment(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool NameMatches(std::string entry, const std::string& name) {
  if (entry.back() == '.') entry.pop_back();
  if (!entry.empty() && entry.front() == '.') entry.erase(0, 1);
  if (entry.size() == name.size()) return SameText(entry, name);
  return entry.size() < name.size() && name[name.size() - entry.size() - 1] == '.' &&
         SameText(entry, name.substr(name.size() - entry.size()));
}

// An entry "address[/bits]": bits of 0, or that are no number, compare the
// whole address; more bits than the address has match nothing, and so does
// an entry longer than libcurl's buffer for one.
bool NetworkMatches(const std::string& entry, int family, const std::string& address) {
  if (entry.size() >= kMaxNetworkEntry) return false;
  const auto slash = entry.find('/');
  const unsigned bits =
      slash == std::string::npos ? 0u : static_cast<unsigned>(std::atoi(entry.c_str() + slash + 1));
  const std::string network = entry.substr(0, slash);
  const unsigned width = family == AF_INET ? 32 : 128;
  unsigned char host[16];
  unsigned char net[16];
  if (bits > width || ::inet_pton(family, address.c_str(), host) != 1 ||
      ::inet_pton(family, network.c_str(), net) != 1) {
    return false;
  }
  const unsigned compared = bits == 0 ? width : bits;
  for (unsigned i = 0; i < compared; ++i) {
    const unsigned mask = 0x80u >> (i % 8);
    if ((host[i / 8] & mask) != (net[i / 8] & mask)) return false;
  }
  return true;
}

}  // namespace

std::string CurlHostName(const std::string& url) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return std::string();
  std::string host;
  char* part = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
    host = part;
  }
  curl_free(part);
  curl_url_cleanup(parsed);
  if (host.size() > 1 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  return host;
}

bool CurlNoProxyMatches(const std::string& list, const std::string& host) {
  if (host.empty() || list.empty()) return false;
  if (list == "*") return true;
  // A host in brackets is an IPv6 address; libcurl hands its hosts over
  // without them, so IPv6 hosts compare as names.
  int family = 0;
  std::string name = host;
  unsigned char ignored[4];
  if (name.front() == '[') {
    const auto end = name.find(']');
    if (end == std::string::npos) return false;
    name = name.substr(1, end - 1);
    family = AF_INET6;
  } else if (::inet_pton(AF_INET, name.c_str(), ignored) == 1) {
    family = AF_INET;
  } else if (name.back() == '.') {
    name.pop_back();
  }
  std::size_t at = 0;
  while (at < list.size()) {
    while (at < list.size() && IsBlank(list[at])) ++at;
    const std::size_t start = at;
    while (at < list.size() && !IsBlank(list[at]) && list[at] != ',') ++at;
    const std::string entry = list.substr(start, at - start);
    if (!entry.empty() &&
        (family == 0 ? NameMatches(entry, name) : NetworkMatches(entry, family, name))) {
      return true;
    }
    while (at < list.size() && IsBlank(list[at])) ++at;
    while (at < list.size() && list[at] == ',') ++at;
  }
  return false;
}

CurlProxy ChooseCurlProxy(const std::string& host, const EnvironmentReader& environment) {
  CurlProxy choice{"", "no proxy set"};
  for (const char* name : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
    if (const char* value = Variable(environment, name)) {
      choice = {value, name};
      break;
    }
  }
  if (choice.proxy.empty()) return choice;
  for (const char* name : {"no_proxy", "NO_PROXY"}) {
    const char* value = Variable(environment, name);
    if (value == nullptr) continue;
    if (CurlNoProxyMatches(value, host)) return {"", name};
    break;  // the first one set is the only one read
  }
  return choice;
}

}  // namespace keldo
