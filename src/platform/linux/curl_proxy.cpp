#include "platform/linux/curl_proxy.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace keldo {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> Entries(const std::string& list) {
  std::vector<std::string> entries;
  std::string entry;
  for (const char c : list + ",") {
    if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
      if (!entry.empty()) entries.push_back(entry);
      entry.clear();
    } else {
      entry.push_back(c);
    }
  }
  return entries;
}

// The address bytes of an IPv4 or IPv6 literal; empty when `text` is none.
std::vector<unsigned char> AddressBytes(std::string text) {
  if (text.size() > 1 && text.front() == '[' && text.back() == ']')
    text = text.substr(1, text.size() - 2);
  unsigned char bytes[16];
  if (inet_pton(AF_INET, text.c_str(), bytes) == 1) return {bytes, bytes + 4};
  if (inet_pton(AF_INET6, text.c_str(), bytes) == 1) return {bytes, bytes + 16};
  return {};
}

bool SameNetwork(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                 unsigned bits) {
  if (a.size() != b.size() || bits > a.size() * 8) return false;
  for (unsigned i = 0; i < bits; ++i) {
    const unsigned mask = 0x80u >> (i % 8);
    if ((a[i / 8] & mask) != (b[i / 8] & mask)) return false;
  }
  return true;
}

bool EntryMatches(std::string entry, const std::string& host) {
  const std::vector<unsigned char> hostAddress = AddressBytes(host);
  if (!hostAddress.empty()) {
    unsigned bits = static_cast<unsigned>(hostAddress.size() * 8);
    const auto slash = entry.find('/');
    if (slash != std::string::npos) {
      const std::string length = entry.substr(slash + 1);
      if (length.empty() || length.size() > 3 ||
          !std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
      }
      bits = static_cast<unsigned>(std::stoul(length));
      entry = entry.substr(0, slash);
    }
    const std::vector<unsigned char> entryAddress = AddressBytes(entry);
    if (entryAddress.empty()) return Lower(entry) == Lower(host);
    return SameNetwork(entryAddress, hostAddress, bits);
  }
  std::string name = Lower(host);
  if (!name.empty() && name.back() == '.') name.pop_back();
  entry = Lower(entry);
  if (!entry.empty() && entry.front() == '.') entry.erase(0, 1);
  if (!entry.empty() && entry.back() == '.') entry.pop_back();
  if (entry.empty()) return false;
  if (name == entry) return true;
  return name.size() > entry.size() &&
         name.compare(name.size() - entry.size(), entry.size(), entry) == 0 &&
         name[name.size() - entry.size() - 1] == '.';
}

}  // namespace

bool CurlNoProxyMatches(const std::string& list, const std::string& host) {
  const std::vector<std::string> entries = Entries(list);
  if (entries.size() == 1 && entries.front() == "*") return true;
  return std::any_of(entries.begin(), entries.end(),
                     [&host](const std::string& entry) { return EntryMatches(entry, host); });
}

CurlProxy ChooseCurlProxy(const std::string& host, const EnvironmentReader& environment) {
  auto read = [&environment](const char* name) -> std::string {
    const char* value = environment(name);
    return value != nullptr ? value : "";
  };
  CurlProxy choice;
  for (const char* name : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
    const std::string value = read(name);
    if (!value.empty()) {
      choice = {value, name};
      break;
    }
  }
  if (choice.proxy.empty()) return {"", "no proxy set"};
  for (const char* name : {"no_proxy", "NO_PROXY"}) {
    const char* value = environment(name);
    if (value == nullptr) continue;
    if (CurlNoProxyMatches(value, host)) return {"", name};
    break;  // the first one set is the only one read
  }
  return choice;
}

std::string ProxyWithoutCredentials(const std::string& proxy) {
  const auto scheme = proxy.find("://");
  const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  const auto at = proxy.find('@', start);
  const auto slash = proxy.find('/', start);
  if (at == std::string::npos || (slash != std::string::npos && slash < at)) return proxy;
  return proxy.substr(0, start) + proxy.substr(at + 1);
}

}  // namespace keldo
