#pragma once
// A test server run as a child process, started without a shell, that
// names the loopback port it listens on in its first line ("port=N").
#include <sys/types.h>

#include <string>
#include <vector>

namespace keldo {

class ListeningChild {
 public:
  // `args[0]` is the program's full path. Throws std::runtime_error naming
  // `what` when it cannot be started or names no port within 10 s.
  ListeningChild(std::vector<std::string> args, const std::string& what);
  ~ListeningChild();
  ListeningChild(const ListeningChild&) = delete;
  ListeningChild& operator=(const ListeningChild&) = delete;

  int Port() const { return port_; }

 private:
  void Stop();

  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace keldo
