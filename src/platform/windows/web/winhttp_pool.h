#pragma once
// The process's WinHTTP sessions, one per proxy route, and one connection
// handle per session and host, so that WinHTTP keeps a connection alive from
// one request of a run to the next. Every web client of the process shares
// them.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>

#include "platform/windows/web/proxy_rules.h"
#include "platform/windows/web/web_session.h"

namespace keldo {

class WinHttpPool {
 public:
  // The one pool of the process. Never destroyed: a request still running on
  // another thread as the process ends may hold its handles.
  static WinHttpPool& Process();

  // The session for `route`, opened on first use; one that could not be
  // opened (empty, with its OpenError) is tried again on the next call.
  // Sessions are kept per route because WinHTTP under Wine ignores a proxy
  // set on a request: the session has to carry it. `route` becomes the route
  // the session really takes (see WinHttpSession).
  std::shared_ptr<const WinHttpSession> Session(ProxyRoute& route);

  // The connection handle of `session` for host and port, made on first use.
  // Empty, with `error` set, when WinHttpConnect fails.
  std::shared_ptr<InternetHandle> Connection(const WinHttpSession& session, const Text& host,
                                             INTERNET_PORT port, DWORD& error);

  // After a request to host and port failed: its connection handles are let
  // go, and the next request gets a new one.
  void Forget(const Text& host, INTERNET_PORT port);

 private:
  WinHttpPool() = default;

  struct Opened {
    std::shared_ptr<const WinHttpSession> session;
    ProxyRoute route;
  };
  using RouteKey = std::pair<ProxyRoute::Kind, std::wstring>;
  using ConnectionKey = std::tuple<HINTERNET, Text, INTERNET_PORT>;

  std::mutex mutex_;
  std::map<RouteKey, Opened> sessions_;
  std::map<ConnectionKey, std::shared_ptr<InternetHandle>> connections_;
};

}  // namespace keldo
