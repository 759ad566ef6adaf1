#pragma once
// The process's one WinHTTP session and one connection handle per host, so
// that WinHTTP keeps a connection alive from one request of a run to the
// next. Every web client of the process shares them.
#include <map>
#include <memory>
#include <mutex>

#include "platform/windows/winhttp_session.h"

class WinHttpPool {
 public:
  // The one pool of the process. Never destroyed: a request still running on
  // another thread as the process ends may hold its handles.
  static WinHttpPool& Process();

  // The session, opened on first use; one that could not be opened (empty,
  // with its OpenError) is tried again on the next call.
  std::shared_ptr<const WinHttpSession> Session();

  // The connection handle for host and port, made on first use. Empty, with
  // `error` set, when WinHttpConnect fails.
  std::shared_ptr<InternetHandle> Connection(const Text& host, INTERNET_PORT port, DWORD& error);

  // After a request to host and port failed: its connection handle is let
  // go, and the next request gets a new one.
  void Forget(const Text& host, INTERNET_PORT port);

 private:
  WinHttpPool() = default;

  std::mutex mutex_;
  std::shared_ptr<const WinHttpSession> session_;
  std::map<std::pair<Text, INTERNET_PORT>, std::shared_ptr<InternetHandle>> connections_;
};
