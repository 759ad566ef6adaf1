#include "platform/windows/web/winhttp_pool.h"

#include "platform/windows/text/wide_text.h"

namespace keldo {

WinHttpPool& WinHttpPool::Process() {
  static WinHttpPool* const pool = new WinHttpPool();
  return *pool;
}

std::shared_ptr<const WinHttpSession> WinHttpPool::Session(ProxyRoute& route) {
  const std::lock_guard<std::mutex> lock(mutex_);
  Opened& opened = sessions_[{route.kind, route.proxy}];
  if (!opened.session || !*opened.session) {
    ProxyRoute taken = route;
    opened.session = std::make_shared<const WinHttpSession>(taken);
    opened.route = taken;
  }
  route = opened.route;
  return opened.session;
}

std::shared_ptr<InternetHandle> WinHttpPool::Connection(const WinHttpSession& session,
                                                        const Text& host, INTERNET_PORT port,
                                                        DWORD& error) {
  const std::lock_guard<std::mutex> lock(mutex_);
  auto& connection = connections_[{session.get(), host, port}];
  if (!connection || !*connection) {
    auto made = std::make_shared<InternetHandle>(
        WinHttpConnect(session.get(), Wide(host).c_str(), port, 0));
    error = *made ? 0 : GetLastError();
    if (!*made) return nullptr;
    connection = std::move(made);
  }
  return connection;
}

void WinHttpPool::Forget(const Text& host, INTERNET_PORT port) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = connections_.begin(); it != connections_.end();) {
    const bool same = std::get<1>(it->first) == host && std::get<2>(it->first) == port;
    it = same ? connections_.erase(it) : std::next(it);
  }
}

}  // namespace keldo
