#pragma once
// The one HTTPS client of the process, shared by every request of a run:
// one libcurl handle, so one choice of trust and one connection cache (no
// TLS session cache: a run makes one connection).
#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/linux/web/trust_store.h"

namespace keldo {

// One easy handle, reused, rather than a share handle over a fresh easy
// handle per request: this libcurl keeps its cached certificate store in the
// easy handle's own multi handle, which no share handle reaches, so only a
// reused handle builds the store once per process. The core's requests come
// one after another, so a lock that makes any other wait costs nothing.
class CurlSession {
 public:
  CurlSession();
  // Looks the system's certificates up in `trustFolder` instead of the
  // hashed folder libcurl was built to use.
  explicit CurlSession(std::string trustFolder) : trustFolder_(std::move(trustFolder)) {}
  ~CurlSession();
  CurlSession(const CurlSession&) = delete;
  CurlSession& operator=(const CurlSession&) = delete;

  // The handle lent to one transfer at a time, reset to libcurl's defaults;
  // what it learnt before (its connection, the store) it keeps.
  class Lease {
   public:
    // Throws RunTimeError when libcurl cannot be set up at all.
    explicit Lease(CurlSession& session);
    CURL* get() const { return session_.easy_.get(); }
    // The transfer failed: the next one must not trust its connection.
    void Failed() { session_.lastFailed_ = true; }
    // The session's trust: chosen at its first request, kept for the rest.
    std::optional<SystemTrust>& Trust() { return session_.trust_; }
    const std::string& TrustFolder() const { return session_.trustFolder_; }

   private:
    CurlSession& session_;
    std::lock_guard<std::mutex> lock_;
  };

 private:
  struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
  };
  std::mutex mutex_;
  std::unique_ptr<CURL, EasyCleanup> easy_;
  bool lastFailed_ = false;
  std::string trustFolder_;  // empty: libcurl's own
  std::optional<SystemTrust> trust_;
};

}  // namespace keldo
