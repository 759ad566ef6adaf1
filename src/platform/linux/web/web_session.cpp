#include "platform/linux/web/web_session.h"

#include <string>

#include "base/errors.h"
#include "platform/linux/web/https_libraries.h"

namespace keldo {

namespace {

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
  StartHttpsLibraries();
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
  // Nor does a run resume a TLS session; and this libcurl frees a block
  // twice when its session cache fails to allocate.
  Require(curl_easy_setopt(easy, CURLOPT_SSL_SESSIONID_CACHE, 0L));
  if (session_.lastFailed_) {
    // libcurl closes the connection of a failed transfer itself; should it
    // ever keep one, a fresh connection leaves it unused until pushed out.
    Require(curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L));
    session_.lastFailed_ = false;
  }
}

}  // namespace keldo
