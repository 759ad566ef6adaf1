#include "support/listening_child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace keldo {

ListeningChild::ListeningChild(std::vector<std::string> args, const std::string& what) {
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
    pid_ = -1;
    throw std::runtime_error("cannot start the " + what);
  }
  // The first line only, and a short one: anything else is no port.
  std::string line;
  pollfd waiter{pipeFds[0], POLLIN, 0};
  char c = 0;
  while (line.size() < 64 && line.find('\n') == std::string::npos &&
         ::poll(&waiter, 1, 10000) == 1 && ::read(pipeFds[0], &c, 1) == 1) {
    line.push_back(c);
  }
  ::close(pipeFds[0]);
  if (line.rfind("port=", 0) != 0) {
    Stop();
    throw std::runtime_error("the " + what + " gave no port");
  }
  port_ = std::stoi(line.substr(5));
}

ListeningChild::~ListeningChild() { Stop(); }

void ListeningChild::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

}  // namespace keldo
