#pragma once
// Addresses as the web client uses them: https only, and the redirect rules.
#include <optional>
#include <string>

#include "base/text.h"

namespace keldo {

struct HttpsAddress {
  Text host;            // without brackets for an IPv6 literal
  unsigned short port;  // 443 when the address names none
  Text pathAndQuery;    // "/" at least; the fragment is dropped
};

// Nothing for an address that is not https, or is malformed.
std::optional<HttpsAddress> ParseHttpsAddress(const Text& address);

// The absolute address that a Location header points to, seen from `base`.
Text ResolveLocation(const Text& base, const Text& location);

bool IsRedirectStatus(unsigned long status);

// The method of the request that follows a redirect: 307 and 308 keep it
// and its body; the others turn a post into a plain GET, as browsers do.
std::wstring MethodAfterRedirect(unsigned long status, const std::wstring& method);

}  // namespace keldo
