#pragma once
// The stand-in website as a child process on a free loopback port.
#include <sys/types.h>

#include <string>

class StandinServer {
 public:
  explicit StandinServer(bool untrusted = false);
  ~StandinServer();
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  int Port() const { return port_; }
  // "https://127.0.0.1:<port>", then "/<fault>" when one is named.
  std::string Website(const std::string& fault = "") const;

  // One of each per test process, started on first use.
  static StandinServer& Trusted();
  static StandinServer& Untrusted();

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

// A loopback port on which nothing listens.
int ClosedPort();
