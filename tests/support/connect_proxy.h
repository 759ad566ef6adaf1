#pragma once
// The test CONNECT proxy (tools/connect-proxy) as a child process on a free
// loopback port, with its log of every connection it saw.
#include <string>
#include <vector>

#include "support/listening_child.h"

namespace keldo {

class ConnectProxy {
 public:
  // `mode`: tunnel, 407, 407-endless, 407-negotiate or intercept. `forward`: a tunnel
  // leads there whatever the client asked for. An intercepting proxy shows
  // the test PKI's untrusted certificate.
  ConnectProxy(const std::string& mode, const std::string& logPath,
               const std::string& forward = "");
  ConnectProxy(const ConnectProxy&) = delete;
  ConnectProxy& operator=(const ConnectProxy&) = delete;

  int Port() const { return child_.Port(); }
  std::string Address() const { return "127.0.0.1:" + std::to_string(Port()); }
  std::vector<std::string> LogLines() const;

 private:
  ListeningChild child_;
  std::string logPath_;
};

}  // namespace keldo
