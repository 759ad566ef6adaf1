#include "support/standin_server.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <vector>

extern char** environ;

StandinServer::StandinServer(bool untrusted, const std::string& log) {
  const std::string pki = KELDO_TEST_PKI;
  const std::string leaf = untrusted ? "untrusted" : "server";
  std::vector<std::string> args = {KELDO_STANDIN_EXE, "--cert", pki + "/" + leaf + ".pem",
                                   "--key", pki + "/" + leaf + ".key", "--lifetime", "300"};
  if (!log.empty()) args.insert(args.end(), {"--log", log});
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  const int err = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (err != 0) {
    ::close(pipeFds[0]);
    throw std::runtime_error("cannot start the stand-in website");
  }
  std::string line;
  pollfd waiter{pipeFds[0], POLLIN, 0};
  char c = 0;
  while (line.find('\n') == std::string::npos && ::poll(&waiter, 1, 10000) == 1 &&
         ::read(pipeFds[0], &c, 1) == 1) {
    line.push_back(c);
  }
  ::close(pipeFds[0]);
  if (line.rfind("port=", 0) != 0) throw std::runtime_error("the stand-in website gave no port");
  port_ = std::stoi(line.substr(5));
}

StandinServer::~StandinServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
}

std::string StandinServer::Website(const std::string& fault) const {
  return "https://127.0.0.1:" + std::to_string(port_) + (fault.empty() ? "" : "/" + fault);
}

StandinServer& StandinServer::Trusted() {
  static StandinServer server(false);
  return server;
}

StandinServer& StandinServer::Untrusted() {
  static StandinServer server(true);
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
