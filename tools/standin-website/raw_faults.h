#pragma once
// Answers that no well-behaved HTTP server library would write: endless
// trailers, floods of headers and of interim 1xx answers, a connection
// reset mid-body. They are served
// byte by byte over TLS on a listener of their own; the main website
// redirects a faulty path there, so a client meets them through the
// ordinary address.
#include <atomic>
#include <functional>
#include <string>
#include <thread>

struct RawFaultSettings {
  std::string cert, key;
  const std::atomic<bool>* stopping = nullptr;
  std::function<void(const std::string&)> log;  // one line per request
};

// True when `fault` names an answer that this responder serves.
bool IsRawFault(const std::string& fault);

class RawFaultServer {
 public:
  explicit RawFaultServer(RawFaultSettings settings);
  ~RawFaultServer();
  RawFaultServer(const RawFaultServer&) = delete;
  RawFaultServer& operator=(const RawFaultServer&) = delete;

  // 0 when it could not listen.
  int Port() const { return port_; }

 private:
  void Listen();

  RawFaultSettings settings_;
  int listener_ = -1;
  int port_ = 0;
  void* context_ = nullptr;  // SSL_CTX
  std::thread thread_;
};
