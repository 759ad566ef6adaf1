#include "platform/windows/web/web_address.h"

namespace keldo {

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool StartsWithNoCase(const Text& text, TextView prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

bool HasScheme(const Text& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (c == u':') return i > 0;
    if (!letter && (i == 0 || !((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.'))) {
      return false;
    }
  }
  return false;
}

// "https://host:port" of an absolute address.
Text Origin(const Text& address) {
  const auto hostStart = address.find(u"//");
  if (hostStart == Text::npos) return address;
  const auto end = address.find_first_of(u"/?#", hostStart + 2);
  return address.substr(0, end);
}

}  // namespace

std::optional<HttpsAddress> ParseHttpsAddress(const Text& address) {
  constexpr TextView kScheme = u"https://";
  if (!StartsWithNoCase(address, kScheme)) return std::nullopt;
  const std::size_t hostStart = kScheme.size();
  const std::size_t end = address.find_first_of(u"/?#", hostStart);
  const Text authority =
      address.substr(hostStart, end == Text::npos ? Text::npos : end - hostStart);
  // Credentials in an address would be sent in clear to anyone who reads it.
  if (authority.empty() || authority.find(u'@') != Text::npos) return std::nullopt;

  HttpsAddress result{Text(), 443, u"/"};
  std::size_t portColon = Text::npos;
  if (authority.front() == u'[') {
    const auto close = authority.find(u']');
    if (close == Text::npos) return std::nullopt;
    result.host = authority.substr(1, close - 1);
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != u':') return std::nullopt;
      portColon = close + 1;
    }
  } else {
    portColon = authority.find(u':');
    result.host = authority.substr(0, portColon);
  }
  if (result.host.empty()) return std::nullopt;
  if (portColon != Text::npos) {
    const Text digits = authority.substr(portColon + 1);
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned long port = 0;
    for (const char16_t c : digits) {
      if (c < u'0' || c > u'9') return std::nullopt;
      port = port * 10 + (c - u'0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    result.port = static_cast<unsigned short>(port);
  }
  if (end != Text::npos && address[end] != u'#') {
    Text rest = address.substr(end);
    rest = rest.substr(0, rest.find(u'#'));
    result.pathAndQuery = rest.front() == u'?' ? u"/" + rest : rest;
  }
  return result;
}

Text ResolveLocation(const Text& base, const Text& location) {
  if (HasScheme(location)) return location;
  if (location.rfind(u"//", 0) == 0) return base.substr(0, base.find(u':') + 1) + location;
  const Text origin = Origin(base);
  if (location.rfind(u"/", 0) == 0) return origin + location;
  Text path = base.substr(origin.size());
  path = path.substr(0, path.find_first_of(u"?#"));
  if (path.empty()) path = u"/";
  if (location.empty()) return origin + path;
  if (location.front() == u'?') return origin + path + location;
  return origin + path.substr(0, path.rfind(u'/') + 1) + location;
}

bool IsRedirectStatus(unsigned long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::wstring MethodAfterRedirect(unsigned long status, const std::wstring& method) {
  if (status == 307 || status == 308) return method;
  return method == L"HEAD" ? method : L"GET";
}

}  // namespace keldo
