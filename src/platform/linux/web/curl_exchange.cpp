#include "platform/linux/web/curl_exchange.h"

#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>

#include "base/errors.h"
#include "base/program_version.h"
#include "base/web_component.h"
#include "platform/linux/web/curl_proxy_url.h"
#include "platform/linux/web/embedded_ca.h"
#include "platform/linux/web/trust_store.h"
#include "platform/linux/web/web_proxy.h"

namespace keldo {

namespace {

struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
struct X509Free {
  void operator()(X509* cert) const { X509_free(cert); }
};

// Adds the embedded test CAs to the store that curl has already filled from
// the system's trust store (or pointed at its hashed folder), so both are
// trusted. A store read from the bundle is cached for the process, so a
// later connection may find them there already; adding one twice is
// harmless.
CURLcode AddEmbeddedCas(CURL*, void* sslContext, void*) {
  const std::string_view pem = EmbeddedCaPem();
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
  const std::unique_ptr<BIO, BioFree> bio(
      BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  if (!bio || store == nullptr) return CURLE_SSL_CACERT_BADFILE;
  while (true) {
    const std::unique_ptr<X509, X509Free> cert(
        PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!cert) break;
    X509_STORE_add_cert(store, cert.get());  // a duplicate is harmless
  }
  ERR_clear_error();  // the end of the PEM data reads as an error
  return CURLE_OK;
}

struct Receiver {
  std::string body;
  bool overCap = false;
  // What came around the body of the current answer: its status line,
  // headers and trailers, and any interim 1xx answers before it.
  CURL* easy = nullptr;
  long redirects = 0;  // followed before the current answer
  std::size_t headBytes = 0;
  bool headOverCap = false;
  // An exception must not unwind through libcurl's C frames: the callback
  // keeps it here, ends the transfer, and RunExchange throws it on.
  std::exception_ptr lost;
};

size_t Receive(char* data, size_t size, size_t count, void* user) {
  auto* receiver = static_cast<Receiver*>(user);
  const size_t bytes = size * count;
  if (receiver->body.size() + bytes > kMaxReplyBytes) {
    receiver->overCap = true;
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  try {
    receiver->body.append(data, bytes);
  } catch (...) {
    receiver->lost = std::current_exception();
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  return bytes;
}

// libcurl keeps every trailer line and every interim answer it is sent, so
// only a count of our own bounds what a server may send around the body.
size_t ReceiveHead(char*, size_t size, size_t count, void* user) {
  auto* receiver = static_cast<Receiver*>(user);
  const size_t bytes = size * count;
  // Each answer of a redirect chain has a bound of its own. What the server
  // writes cannot reset it; only libcurl's own count of redirects followed.
  long redirects = 0;
  curl_easy_getinfo(receiver->easy, CURLINFO_REDIRECT_COUNT, &redirects);
  if (redirects != receiver->redirects) {
    receiver->redirects = redirects;
    receiver->headBytes = 0;
  }
  receiver->headBytes += bytes;
  if (receiver->headBytes > kMaxReplyHeadBytes) {
    receiver->headOverCap = true;
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  return bytes;
}

class Options {
 public:
  explicit Options(CURL* easy) : easy_(easy) {}
  template <typename T>
  Options& Set(CURLoption option, T value) {
    const CURLcode code = curl_easy_setopt(easy_, option, value);
    if (code != CURLE_OK) {
      throw RunTimeError(code, PlatformFailureText("Setting up the HTTPS request",
                                                   curl_easy_strerror(code), code));
    }
    return *this;
  }

 private:
  CURL* easy_;
};

// A deadline libcurl cannot skip: it asks after every byte it reads, even
// while it drains a proxy's answer that it waits on no clock for.
struct Deadline {
  std::chrono::steady_clock::time_point at;
  bool passed = false;
};

int CheckDeadline(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* deadline = static_cast<Deadline*>(user);
  if (std::chrono::steady_clock::now() < deadline->at) return 0;
  deadline->passed = true;
  return 1;  // ends the transfer with CURLE_ABORTED_BY_CALLBACK
}

struct ProxyRoute {
  std::string note;     // the proxy used, or "direct", and why
  std::string proxy;    // as the variable gives it, secrets and all; empty: direct
  std::string shown;    // the proxy without its secrets
  std::string problem;  // why libcurl could not use the proxy named
  long port = 0;        // the proxy's port
};

// Hands libcurl the one proxy chosen by its own rules, or none, and says
// which it was. A proxy libcurl could not use is not handed over at all.
ProxyRoute ApplyCurlProxy(Options& options, const std::string& url) {
  const CurlProxy choice =
      ChooseCurlProxy(CurlHostName(url), [](const char* name) { return std::getenv(name); });
  options.Set(CURLOPT_NOPROXY, "");
  if (choice.proxy.empty()) {
    options.Set(CURLOPT_PROXY, "");
    return {"direct (" + choice.variable + ")", "", "", "", 0};
  }
  const ProxyAddress address = ReadProxyAddress(choice.proxy);
  if (address.problem.empty()) options.Set(CURLOPT_PROXY, choice.proxy.c_str());
  return {address.shown + " (" + choice.variable + ")", choice.proxy, address.shown,
          address.problem, address.port};
}

// libcurl's text with the proxy's address, should it quote it, shown
// without its secrets.
std::string WithoutProxySecrets(std::string text, const ProxyRoute& route) {
  if (route.proxy.empty()) return text;
  for (auto at = text.find(route.proxy); at != std::string::npos;
       at = text.find(route.proxy, at + route.shown.size())) {
    text.replace(at, route.proxy.size(), route.shown);
  }
  return text;
}

// Where the answer came from when a proxy was named: the proxy's port, or
// the request went around it. Empty when it came through the proxy.
std::string PeerProblem(CURL* easy, const ProxyRoute& route) {
  if (route.proxy.empty()) return "";
  long port = 0;
  if (curl_easy_getinfo(easy, CURLINFO_PRIMARY_PORT, &port) == CURLE_OK && port == route.port) {
    return "";
  }
  return "The answer came from port " + std::to_string(port) + ", not through the proxy " +
         route.shown;
}

// Every limit and rule of the request, and where its answer goes.
void SetUpRequest(Options& options, const std::string& url, const WebLimits& limits,
                  Receiver& receiver, char* errorText) {
  options.Set(CURLOPT_URL, url.c_str())
      .Set(CURLOPT_PROTOCOLS_STR, "https")
      .Set(CURLOPT_REDIR_PROTOCOLS_STR, "https")
      .Set(CURLOPT_FOLLOWLOCATION, 1L)
      .Set(CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects))
      .Set(CURLOPT_SSL_VERIFYPEER, 1L)
      .Set(CURLOPT_SSL_VERIFYHOST, 2L)
      .Set(CURLOPT_NOSIGNAL, 1L)
      .Set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()))
      .Set(CURLOPT_TIMEOUT_MS, static_cast<long>(limits.total.count()))
      .Set(CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond)
      .Set(CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.lowSpeedTime.count()))
      .Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxReplyBytes))
      .Set(CURLOPT_WRITEFUNCTION, Receive)
      .Set(CURLOPT_WRITEDATA, &receiver)
      .Set(CURLOPT_HEADERFUNCTION, ReceiveHead)
      .Set(CURLOPT_HEADERDATA, &receiver)
      .Set(CURLOPT_ERRORBUFFER, errorText)
      .Set(CURLOPT_USERAGENT, KELDO_USER_AGENT);
}

// The system's certificates, looked up in the hashed folder, else read from
// the bundle: never both, since reading the bundle is the cost the folder
// saves. libcurl caches only a store read from a bundle alone, so that one
// is read once per process, however many connections the run needs; a
// store over the folder costs next to nothing to build again.
void SetUpTrust(Options& options, const SystemTrust& trust) {
  if (trust.folder.empty()) {
    options.Set(CURLOPT_CAPATH, static_cast<const char*>(nullptr))
        .Set(CURLOPT_CA_CACHE_TIMEOUT, -1L);
  } else {
    options.Set(CURLOPT_CAINFO, static_cast<const char*>(nullptr))
        .Set(CURLOPT_CAPATH, trust.folder.c_str());
  }
  if (!EmbeddedCaPem().empty()) options.Set(CURLOPT_SSL_CTX_FUNCTION, AddEmbeddedCas);
}

const SystemTrust& SessionTrust(CurlSession::Lease& easy) {
  std::optional<SystemTrust>& trust = easy.Trust();
  if (!trust) {
    const char* folder = easy.TrustFolder().c_str();
    if (easy.TrustFolder().empty() &&
        curl_easy_getinfo(easy.get(), CURLINFO_CAPATH, &folder) != CURLE_OK) {
      folder = nullptr;
    }
    trust = ChooseSystemTrust(folder != nullptr ? folder : "");
  }
  return *trust;
}

void SetFormBody(Options& options, const std::string& formBody) {
  options.Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(formBody.size()))
      .Set(CURLOPT_POSTFIELDS, formBody.c_str());
}

void WatchDeadline(Options& options, Deadline& deadline) {
  options.Set(CURLOPT_XFERINFOFUNCTION, CheckDeadline)
      .Set(CURLOPT_XFERINFODATA, &deadline)
      .Set(CURLOPT_NOPROGRESS, 0L);
}

// The answer of a transfer that ended well, unless it came around the proxy
// named.
void TakeAnswer(CurlSession::Lease& easy, const std::string& url, const ProxyRoute& route,
                Receiver& receiver, Exchange& result) {
  const std::string peerProblem = PeerProblem(easy.get(), route);
  if (!peerProblem.empty()) {
    easy.Failed();
    result.failure = peerProblem + " from " + url;
    return;
  }
  curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &result.status);
  result.answered = true;
  result.body = std::move(receiver.body);
}

// Why a transfer failed, in the platforms' one form with libcurl's code: a
// bound of ours by name, else libcurl's own text.
std::string FailureText(const std::string& url, CURLcode code, const Receiver& receiver,
                        const Deadline& deadline, const char* errorText, const ProxyRoute& route,
                        const WebLimits& limits) {
  std::string text;
  if (receiver.headOverCap) {
    text = "The answer's headers are larger than " + std::to_string(kMaxReplyHeadBytes) + " bytes";
  } else if (receiver.overCap || code == CURLE_FILESIZE_EXCEEDED) {
    text = "The answer is larger than " + std::to_string(kMaxReplyBytes) + " bytes";
  } else if (deadline.passed) {
    text = "No whole answer within " + std::to_string(limits.total.count()) + " ms";
  } else {
    text = WithoutProxySecrets(errorText[0] != '\0' ? errorText : curl_easy_strerror(code), route);
  }
  return PlatformFailureText("Requesting " + url, text, code);
}

}  // namespace

Exchange RunExchange(CurlSession& session, const std::string& url,
                     const std::optional<std::string>& formBody, const WebLimits& limits) {
  CurlSession::Lease easy(session);

  Exchange result;
  Receiver receiver;
  receiver.easy = easy.get();
  char errorText[CURL_ERROR_SIZE] = {};
  Options options(easy.get());
  SetUpRequest(options, url, limits, receiver, errorText);
  const SystemTrust& trust = SessionTrust(easy);
  SetUpTrust(options, trust);
  result.trustNote = trust.note;
  const ProxyRoute route = ApplyCurlProxy(options, url);
  result.route = route.note;
  if (!route.problem.empty()) {
    result.failure = "Cannot use the proxy " + route.note + ": " + route.problem + " from " + url;
    return result;
  }
  if (formBody) SetFormBody(options, *formBody);
  Deadline deadline{std::chrono::steady_clock::now() + limits.total + kWebDeadlineGrace};
  WatchDeadline(options, deadline);

  const CURLcode code = curl_easy_perform(easy.get());
  if (code == CURLE_OK) {
    TakeAnswer(easy, url, route, receiver, result);
    return result;
  }
  easy.Failed();
  if (receiver.lost) std::rethrow_exception(receiver.lost);
  result.failure = FailureText(url, code, receiver, deadline, errorText, route, limits);
  return result;
}

}  // namespace keldo
