#include "platform/linux/web/web_session.h"

#include <string>

#include "base/errors.h"

namespace keldo {

namespace {

void GlobalInitOnce() {
  static std::once_flag once;
  static CURLcode result = CURLE_OK;
  std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
  if (result != CURLE_OK) {
    throw RunTimeError(result,
                       PlatformFailureText("Starting libcurl", curl_easy_strerror(result), result));
  }
}

void Require(CURLcode code) {
  if (code != CURLE_OK) {
    throw RunTimeError(
        code, PlatformFailureText("Setting up the HTTPS request", curl_easy_strerror(code), code));
  }
}

}  // namespace

CurlSession::CurlSession() = default;
CurlSession::~CurlSession() = default;

CurlSession::Lease::Lease(CurlSession& session) : session_(session), lock_(session.mutex_) {
  GlobalInitOnce();
  if (!session_.easy_) {
    session_.easy_.reset(curl_easy_init());
    if (!session_.easy_) {
      throw RunTimeError(CURLE_FAILED_INIT, "Cannot create an HTTPS request (curl)");
    }
  }
  CURL* easy = session_.easy_.get();
  curl_easy_reset(easy);
  // One connection is all a run needs; a new one pushes out the one before.
  Require(curl_easy_setopt(easy, CURLOPT_MAXCONNECTS, 1L));
  if (session_.lastFailed_) {
    // libcurl closes the connection of a failed transfer itself; should it
    // ever keep one, a fresh connection leaves it unused until pushed out.
    Require(curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L));
    session_.lastFailed_ = false;
  }
}

}  // namespace keldo
