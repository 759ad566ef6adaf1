#include "platform/linux/web/curl_proxy_url.h"

#include <curl/curl.h>

#include <cctype>
#include <cstdlib>
#include <memory>

namespace keldo {

namespace {

// The flags libcurl itself parses a proxy address with.
constexpr unsigned kProxyUrlFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_GUESS_SCHEME;
// libcurl's ports for a proxy address that names none.
constexpr long kDefaultProxyPort = 1080;
constexpr long kDefaultHttpsProxyPort = 443;

struct UrlCleanup {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using Url = std::unique_ptr<CURLU, UrlCleanup>;

// An address libcurl cannot parse, shown without anything up to its last
// "@": wherever a user name or password may have been meant to end, it ends
// there.
std::string UnreadableShown(const std::string& proxy) {
  const auto scheme = proxy.find("://");
  const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  const auto at = proxy.rfind('@');
  if (at == std::string::npos || at < start) return proxy;
  return proxy.substr(0, start) + proxy.substr(at + 1);
}

std::string UrlProblem(CURLUcode code) {
  return std::string(curl_url_strerror(code)) + " (URL code " + std::to_string(code) + ")";
}

// One part of the parsed address; `code` says why there is none.
std::string Part(const Url& url, CURLUPart part, unsigned flags, CURLUcode& code) {
  char* text = nullptr;
  code = curl_url_get(url.get(), part, &text, flags);
  std::string value = code == CURLUE_OK && text != nullptr ? text : "";
  curl_free(text);
  return value;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool SchemeLibcurlProxies(const std::string& scheme) {
  for (const char* known : {"http", "https", "socks", "socks4", "socks4a", "socks5", "socks5h"}) {
    if (scheme == known) return true;
  }
  return false;
}

// What libcurl would do with the user name and password: a part it cannot
// decode (a control character, %00 among them) makes it drop the proxy
// without a word and go direct.
std::string CredentialsProblem(const Url& url) {
  CURLUcode code = CURLUE_OK;
  Part(url, CURLUPART_USER, CURLU_URLDECODE, code);
  if (code != CURLUE_OK && code != CURLUE_NO_USER) return "its user name: " + UrlProblem(code);
  Part(url, CURLUPART_PASSWORD, CURLU_URLDECODE, code);
  if (code != CURLUE_OK && code != CURLUE_NO_PASSWORD) return "its password: " + UrlProblem(code);
  Part(url, CURLUPART_HOST, CURLU_URLDECODE, code);
  if (code != CURLUE_OK) return "its host: " + UrlProblem(code);
  return "";
}

// Scheme (as written or not), host, port and path: never the user name or
// password.
std::string Shown(const std::string& proxy, const Url& url, const std::string& scheme) {
  CURLUcode code = CURLUE_OK;
  std::string shown = proxy.find("://") != std::string::npos ? scheme + "://" : "";
  shown += Part(url, CURLUPART_HOST, 0, code);
  const std::string port = Part(url, CURLUPART_PORT, 0, code);
  if (code == CURLUE_OK) shown += ":" + port;
  const std::string path = Part(url, CURLUPART_PATH, 0, code);
  if (code == CURLUE_OK && path != "/") shown += path;
  return shown;
}

}  // namespace

ProxyAddress ReadProxyAddress(const std::string& proxy) {
  const Url url(curl_url());
  const CURLUcode parsed =
      url ? curl_url_set(url.get(), CURLUPART_URL, proxy.c_str(), kProxyUrlFlags)
          : CURLUE_OUT_OF_MEMORY;
  if (parsed != CURLUE_OK) {
    return {UnreadableShown(proxy), "libcurl cannot parse it: " + UrlProblem(parsed)};
  }
  CURLUcode code = CURLUE_OK;
  const std::string scheme = Lower(Part(url, CURLUPART_SCHEME, 0, code));
  ProxyAddress address{Shown(proxy, url, scheme), "", 0};
  if (!SchemeLibcurlProxies(scheme)) {
    address.problem = "libcurl knows no proxy of scheme " + scheme;
    return address;
  }
  address.problem = CredentialsProblem(url);
  const std::string port = Part(url, CURLUPART_PORT, 0, code);
  address.port = code == CURLUE_OK   ? std::strtol(port.c_str(), nullptr, 10)
                 : scheme == "https" ? kDefaultHttpsProxyPort
                                     : kDefaultProxyPort;
  return address;
}

}  // namespace keldo
