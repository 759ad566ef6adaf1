#include "support/connect_proxy.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

extern char** environ;

ConnectProxy::ConnectProxy(const std::string& mode, const std::string& logPath, const std::string& forward)
    : logPath_(logPath) {
  const std::string pki = KELDO_TEST_PKI;
  std::vector<std::string> args = {"/usr/bin/python3", KELDO_CONNECT_PROXY, "--mode", mode, "--log", logPath,
                                   "--lifetime", "300"};
  if (!forward.empty()) args.insert(args.end(), {"--forward", forward});
  if (mode == "intercept") {
    args.insert(args.end(), {"--cert", pki + "/untrusted.pem", "--key", pki + "/untrusted.key"});
  }
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
    throw std::runtime_error("cannot start the test proxy");
  }
  std::string line;
  pollfd waiter{pipeFds[0], POLLIN, 0};
  char c = 0;
  while (line.size() < 64 && line.find('\n') == std::string::npos && ::poll(&waiter, 1, 10000) == 1 &&
         ::read(pipeFds[0], &c, 1) == 1) {
    line.push_back(c);
  }
  ::close(pipeFds[0]);
  if (line.rfind("port=", 0) != 0) throw std::runtime_error("the test proxy gave no port");
  port_ = std::stoi(line.substr(5));
}

ConnectProxy::~ConnectProxy() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
}

std::vector<std::string> ConnectProxy::LogLines() const {
  std::vector<std::string> lines;
  std::ifstream in(logPath_);
  for (std::string line; lines.size() < 1000 && std::getline(in, line);) lines.push_back(line);
  return lines;
}
