#pragma once
// A proxy address read with libcurl's own URL parser and the same flags
// libcurl reads it with, so that what libcurl would refuse (and then quote
// whole in its error text) or silently drop (and then go direct) is known
// before the request, and the address can be shown without its secrets.
#include <string>

namespace keldo {

struct ProxyAddress {
  // The address without user name or password; when libcurl cannot parse
  // it, without anything up to its last "@".
  std::string shown;
  // Why libcurl could not use it as the proxy; empty when it can.
  std::string problem;
  // The port libcurl connects to: the one named, else its default.
  long port = 0;
};

ProxyAddress ReadProxyAddress(const std::string& proxy);

}  // namespace keldo
