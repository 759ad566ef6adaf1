#include "platform/linux/web/https_libraries.h"

#include <curl/curl.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstdio>
#include <mutex>

#include "base/errors.h"

namespace keldo {

namespace {

struct Started {
  bool ok = true;
  long code = 0;
  char text[256] = {};
  const char* what = "";
};

void Fail(Started& started, const char* what, long code, const char* text) {
  started.ok = false;
  started.what = what;
  started.code = code;
  std::snprintf(started.text, sizeof started.text, "%s", text);
}

void FailOpenSsl(Started& started) {
  const unsigned long code = ERR_get_error();
  char text[256] = "OpenSSL gave no reason";
  if (code != 0) ERR_error_string_n(code, text, sizeof text);
  ERR_clear_error();
  Fail(started, "Starting OpenSSL", static_cast<long>(code), text);
}

// Nothing here allocates a C++ object: the outcome is kept as plain data,
// and the text is built only when it is thrown.
void StartOnce(Started& started) {
  if (OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr) !=
      1) {
    FailOpenSsl(started);
    return;
  }
  if (OSSL_LIB_CTX_get0_global_default() == nullptr) {
    FailOpenSsl(started);
    return;
  }
  const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
  if (code != CURLE_OK) Fail(started, "Starting libcurl", code, curl_easy_strerror(code));
}

}  // namespace

void StartHttpsLibraries() {
  static std::once_flag once;
  static Started started;
  std::call_once(once, [] { StartOnce(started); });
  if (!started.ok) {
    throw RunTimeError(started.code, PlatformFailureText(started.what, started.text, started.code));
  }
}

}  // namespace keldo
