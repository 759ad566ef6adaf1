#include "support/standin_server.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <vector>

namespace keldo {

namespace {

std::vector<std::string> StandinArgs(bool untrusted, const std::string& log) {
  const std::string pki = KELDO_TEST_PKI;
  const std::string leaf = untrusted ? "untrusted" : "server";
  std::vector<std::string> args = {
      KELDO_STANDIN_EXE, "--cert", pki + "/" + leaf + ".pem", "--key", pki + "/" + leaf + ".key",
      "--lifetime",      "300"};
  if (!log.empty()) args.insert(args.end(), {"--log", log});
  return args;
}

}  // namespace

StandinServer::StandinServer(StandinCertificate certificate, const std::string& log)
    : child_(StandinArgs(certificate == StandinCertificate::Untrusted, log), "stand-in website") {}

std::string StandinServer::Website(const std::string& fault) const {
  return "https://127.0.0.1:" + std::to_string(Port()) + (fault.empty() ? "" : "/" + fault);
}

StandinServer& StandinServer::Trusted() {
  static StandinServer server(StandinCertificate::Trusted);
  return server;
}

StandinServer& StandinServer::Untrusted() {
  static StandinServer server(StandinCertificate::Untrusted);
  return server;
}

std::vector<int> ClientPorts(const std::string& log, const std::string& path) {
  std::ifstream in(log);
  std::vector<int> ports;
  const std::string marker = " from port ";
  for (std::string line; std::getline(in, line);) {
    const auto at = line.rfind(marker);
    if (at != std::string::npos && line.find(path) != std::string::npos) {
      ports.push_back(std::stoi(line.substr(at + marker.size())));
    }
  }
  return ports;
}

int ClosedPort() {
  // Bind, read the port, close: nothing listens there afterwards.
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

}  // namespace keldo
