#include "platform/windows/winhttp_pool.h"

#include "platform/windows/wide_text.h"

WinHttpPool& WinHttpPool::Process() {
  static WinHttpPool* const pool = new WinHttpPool();
  return *pool;
}

std::shared_ptr<const WinHttpSession> WinHttpPool::Session() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!session_ || !*session_) {
    session_ = std::make_shared<const WinHttpSession>();
    connections_.clear();  // they belonged to the session before
  }
  return session_;
}

std::shared_ptr<InternetHandle> WinHttpPool::Connection(const Text& host, INTERNET_PORT port,
                                                        DWORD& error) {
  const std::lock_guard<std::mutex> lock(mutex_);
  auto& connection = connections_[{host, port}];
  if (!connection || !*connection) {
    auto made = std::make_shared<InternetHandle>(
        WinHttpConnect(session_ ? session_->get() : nullptr, Wide(host).c_str(), port, 0));
    error = *made ? 0 : GetLastError();
    if (!*made) return nullptr;
    connection = std::move(made);
  }
  return connection;
}

void WinHttpPool::Forget(const Text& host, INTERNET_PORT port) {
  const std::lock_guard<std::mutex> lock(mutex_);
  connections_.erase({host, port});
}
