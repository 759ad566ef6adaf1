#include "support/connect_proxy.h"

#include <fstream>

namespace keldo {

namespace {

std::vector<std::string> ProxyArgs(const std::string& mode, const std::string& logPath,
                                   const std::string& forward) {
  const std::string pki = KELDO_TEST_PKI;
  std::vector<std::string> args = {"/usr/bin/python3",
                                   KELDO_CONNECT_PROXY,
                                   "--mode",
                                   mode,
                                   "--log",
                                   logPath,
                                   "--lifetime",
                                   "300"};
  if (!forward.empty()) args.insert(args.end(), {"--forward", forward});
  if (mode == "intercept") {
    args.insert(args.end(), {"--cert", pki + "/untrusted.pem", "--key", pki + "/untrusted.key"});
  }
  return args;
}

}  // namespace

ConnectProxy::ConnectProxy(const std::string& mode, const std::string& logPath,
                           const std::string& forward)
    : child_(ProxyArgs(mode, logPath, forward), "test proxy"), logPath_(logPath) {}

std::vector<std::string> ConnectProxy::LogLines() const {
  std::vector<std::string> lines;
  std::ifstream in(logPath_);
  for (std::string line; lines.size() < 1000 && std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace keldo
