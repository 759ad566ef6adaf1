#include "platform/windows/web/web_client.h"

#include <winhttp.h>

#include <algorithm>
#include <chrono>

#include "base/errors.h"
#include "base/web_limits.h"
#include "platform/windows/text/wide_text.h"
#include "platform/windows/wait/responsive_wait.h"
#include "platform/windows/web/file_replace.h"
#include "platform/windows/web/web_address.h"
#include "platform/windows/web/web_proxy.h"
#include "platform/windows/web/web_session.h"
#include "platform/windows/web/winhttp_pool.h"

namespace keldo {

namespace {

class Deadline {
 public:
  explicit Deadline(std::chrono::milliseconds after)
      : end_(GetTickCount64() + static_cast<ULONGLONG>(after.count())) {}
  bool Passed() const { return GetTickCount64() >= end_; }
  // `limit`, but never beyond the deadline; at least 1 ms, as 0 means "wait forever".
  int Cap(std::chrono::milliseconds limit) const {
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG left = now >= end_ ? 1 : end_ - now;
    return static_cast<int>(std::min<ULONGLONG>(static_cast<ULONGLONG>(limit.count()), left));
  }

 private:
  ULONGLONG end_;
};

// Resolve, connect, send and receive, none beyond the deadline.
bool SetTimeouts(HINTERNET request, const Deadline& deadline) {
  return WinHttpSetTimeouts(request, deadline.Cap(kWebConnectTimeout),
                            deadline.Cap(kWebConnectTimeout), deadline.Cap(kWebStallTimeout),
                            deadline.Cap(kWebStallTimeout));
}

// Waiting for the reply headers is bounded by a time-out of its own (90 s
// unless set), not by the receive one, so a server that accepts and never
// answers would outlast the deadline.
bool SetResponseTimeout(HINTERNET request, const Deadline& deadline) {
  int responseMs = deadline.Cap(kWebCallTimeout);
  return WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseMs,
                          sizeof responseMs);
}

// The promised length, when the answer states one. A connection dropped
// mid-body ends the data just as a complete answer does; only this tells
// them apart.
bool QueryContentLength(HINTERNET request, DWORD& length) {
  DWORD size = sizeof length;
  return WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &length, &size, WINHTTP_NO_HEADER_INDEX);
}

// The headers of an answer, interim answers and trailers included, stay
// within the same bound as on every other platform. WinHTTP's own default
// is 64 KiB too; set it so that a changed default cannot widen it.
bool LimitHeaderSize(HINTERNET request) {
  DWORD bytes = static_cast<DWORD>(kMaxReplyHeadBytes);
  return WinHttpSetOption(request, WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE, &bytes, sizeof bytes);
}

// The size of the headers WinHTTP kept, checked again after the fact: not
// every WinHTTP honours the option above (Wine ignores it and keeps any
// number of header lines).
bool HeadersWithinBound(HINTERNET request) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                      nullptr, &size, WINHTTP_NO_HEADER_INDEX);
  return size / sizeof(wchar_t) <= kMaxReplyHeadBytes;
}

bool QueryStatus(HINTERNET request, DWORD& status) {
  DWORD size = sizeof status;
  return WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
}

// The Location header, empty when there is none.
Text QueryLocation(HINTERNET request) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > 64 * 1024) return Text();
  std::wstring location(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX,
                           location.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
    return Text();
  }
  location.resize(size / sizeof(wchar_t));
  return FromWide(location);
}

// Older systems lack TLS 1.3 and reject the flag; they keep TLS 1.2.
void ChooseTlsProtocols(HINTERNET request) {
  DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
  if (!WinHttpSetOption(request, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
    protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
    WinHttpSetOption(request, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols);
  }
}

// What a request sends. A redirect may turn it into a GET without either.
struct Outgoing {
  std::wstring method;
  std::string body;
  const wchar_t* headers;  // a literal, or none
};

// One request and the session and connection it was opened on, held for as
// long as it runs.
struct OpenedRequest {
  ProxyRoute route;
  std::shared_ptr<const WinHttpSession> session;
  std::shared_ptr<InternetHandle> connection;
  InternetHandle handle;
};

}  // namespace

// One call's requests, redirects followed, as a value that a worker thread
// can own whole (responsive_wait.h): what the call learns on its way comes
// back with it. Each step below is false with failure_ set when the call
// fails there.
struct WinHttpClient::RequestRun {
  // True with a complete answer of any status; false with failure_ set.
  bool Run(Text address, std::wstring method, std::string body, const wchar_t* headers,
           Answer& answer);
  bool Open(const Text& address, const std::wstring& method, const ProxySettings& proxySettings,
            OpenedRequest& request);
  bool SetOptions(HINTERNET request, const ProxyRoute& route, const Deadline& deadline);
  bool SendWithProxyLogon(const OpenedRequest& request, const Text& address,
                          const Outgoing& outgoing, const Deadline& deadline, DWORD& status);
  bool Send(HINTERNET request, const Text& address, const Outgoing& outgoing, DWORD& status);
  bool FollowRedirect(HINTERNET request, DWORD status, int redirects, const Deadline& deadline,
                      Text& address, Outgoing& outgoing);
  bool ReadBody(HINTERNET request, const Text& address, const Deadline& deadline,
                std::string& body);
  bool ReadChunk(HINTERNET request, DWORD available, const Text& address, std::string& body);
  bool EndOfBody(HINTERNET request, const Text& address, std::size_t received);
  bool Fail(const char* step, DWORD code);
  bool FailBecause(const Text& address, const Text& reason, DWORD code);
  bool Fail(const Text& text);

  Text failure_;
  Text lastAddress_;  // the address of the last request sent, redirects followed
  std::vector<Text> routeNotes_;
};

bool WinHttpClient::RequestRun::Fail(const char* step, DWORD code) {
  return Fail(FromUtf8(PlatformFailureText(step, ToUtf8(WinHttpErrorText(code)), code)));
}

// A failure that our own rule finds, worded with the WinHTTP code that names it.
bool WinHttpClient::RequestRun::FailBecause(const Text& address, const Text& reason, DWORD code) {
  return Fail(FromUtf8(PlatformFailureText("Requesting " + ToUtf8(address),
                                           ToUtf8(reason + u": " + WinHttpErrorText(code)), code)));
}

bool WinHttpClient::RequestRun::Fail(const Text& text) {
  failure_ = text;
  return false;
}

bool WinHttpClient::RequestRun::Run(Text address, std::wstring method, std::string body,
                                    const wchar_t* headers, Answer& answer) {
  const Deadline deadline(kWebCallTimeout);
  const ProxySettings proxySettings = ReadProxySettings();
  Outgoing outgoing{std::move(method), std::move(body), headers};
  for (int redirects = 0;; ++redirects) {
    OpenedRequest request;
    if (!Open(address, outgoing.method, proxySettings, request)) return false;
    if (!SetOptions(request.handle.get(), request.route, deadline)) return false;
    DWORD status = 0;
    if (!SendWithProxyLogon(request, address, outgoing, deadline, status)) return false;
    if (!IsRedirectStatus(status)) {
      answer.status = status;
      return ReadBody(request.handle.get(), address, deadline, answer.body);
    }
    if (!FollowRedirect(request.handle.get(), status, redirects, deadline, address, outgoing)) {
      return false;
    }
  }
}

// Each request (each redirect too) is routed afresh: a script may send
// another address through another proxy.
bool WinHttpClient::RequestRun::Open(const Text& address, const std::wstring& method,
                                     const ProxySettings& proxySettings, OpenedRequest& request) {
  lastAddress_ = address;
  const auto target = ParseHttpsAddress(address);
  if (!target) {
    return FailBecause(address, u"Only https addresses are used",
                       ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
  }
  WinHttpPool& pool = WinHttpPool::Process();
  request.route = RouteRequest(proxySettings, address, target->host, target->port);
  request.session = pool.Session(request.route);
  routeNotes_.push_back(ProxyRouteNote(address, request.route));
  if (!*request.session) return Fail("WinHttpOpen", request.session->OpenError());
  DWORD connectError = 0;
  request.connection = pool.Connection(*request.session, target->host, target->port, connectError);
  if (!request.connection) return Fail("WinHttpConnect", connectError);
  request.handle = InternetHandle(
      WinHttpOpenRequest(request.connection->get(), method.c_str(),
                         Wide(target->pathAndQuery).c_str(), nullptr, WINHTTP_NO_REFERER,
                         WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE | WINHTTP_FLAG_REFRESH));
  if (!request.handle) return Fail("WinHttpOpenRequest", GetLastError());
  return true;
}

bool WinHttpClient::RequestRun::SetOptions(HINTERNET request, const ProxyRoute& route,
                                           const Deadline& deadline) {
  // Redirects are followed by hand (FollowRedirect), so that each one is checked.
  DWORD feature = WINHTTP_DISABLE_REDIRECTS;
  if (!WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &feature, sizeof feature)) {
    return Fail("WinHttpSetOption", GetLastError());
  }
  ChooseTlsProtocols(request);
  if (!SetTimeouts(request, deadline)) return Fail("WinHttpSetTimeouts", GetLastError());
  if (!LimitHeaderSize(request)) return Fail("WinHttpSetOption", GetLastError());
  if (!ApplyProxyRoute(request, route)) return Fail("WinHttpSetOption", GetLastError());
  if (!SetResponseTimeout(request, deadline)) return Fail("WinHttpSetOption", GetLastError());
  return true;
}

// A proxy that asks who the user is gets one answer at most, and only the
// logged-on user's own logon; anything else is a failed call.
bool WinHttpClient::RequestRun::SendWithProxyLogon(const OpenedRequest& request,
                                                   const Text& address, const Outgoing& outgoing,
                                                   const Deadline& deadline, DWORD& status) {
  for (bool offeredLogon = false;;) {
    if (!Send(request.handle.get(), address, outgoing, status)) return false;
    if (status != HTTP_STATUS_PROXY_AUTH_REQ) return true;
    if (offeredLogon || deadline.Passed() || !OfferUserLogonToProxy(request.handle.get())) {
      const Text proxy =
          request.route.proxy.empty() ? Text() : u" " + FromWide(request.route.proxy);
      return Fail(u"The proxy" + proxy + u" refused the request to " + address +
                  u" (HTTP status 407, proxy authentication required)");
    }
    offeredLogon = true;
  }
}

// One send, and the status of its answer, whose headers keep to their bound.
bool WinHttpClient::RequestRun::Send(HINTERNET request, const Text& address,
                                     const Outgoing& outgoing, DWORD& status) {
  const DWORD bodySize = static_cast<DWORD>(outgoing.body.size());
  // WinHTTP only reads the body it is given.
  void* body =
      outgoing.body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(outgoing.body.data());
  if (!WinHttpSendRequest(request, outgoing.headers, outgoing.headers ? static_cast<DWORD>(-1L) : 0,
                          body, bodySize, bodySize, 0)) {
    return Fail("WinHttpSendRequest", GetLastError());
  }
  if (!WinHttpReceiveResponse(request, nullptr)) {
    return Fail("WinHttpReceiveResponse", GetLastError());
  }
  if (!HeadersWithinBound(request)) {
    return FailBecause(
        address,
        u"The answer's headers are larger than " + DecimalText(kMaxReplyHeadBytes) + u" bytes",
        ERROR_WINHTTP_HEADER_SIZE_OVERFLOW);
  }
  if (!QueryStatus(request, status)) return Fail("WinHttpQueryHeaders", GetLastError());
  return true;
}

// The next address and what is sent there (MethodAfterRedirect), unless the
// redirect may not be followed.
bool WinHttpClient::RequestRun::FollowRedirect(HINTERNET request, DWORD status, int redirects,
                                               const Deadline& deadline, Text& address,
                                               Outgoing& outgoing) {
  const Text location = QueryLocation(request);
  if (location.empty()) return Fail(u"Redirect without a location from " + address);
  if (redirects == kMaxRedirects) {
    return Fail(u"More than " + DecimalText(kMaxRedirects) + u" redirects, the last from " +
                address);
  }
  address = ResolveLocation(address, location);
  outgoing.method = MethodAfterRedirect(status, outgoing.method);
  if (outgoing.method == L"GET") {
    outgoing.body.clear();
    outgoing.headers = nullptr;
  }
  if (deadline.Passed()) return Fail("Redirect", ERROR_WINHTTP_TIMEOUT);
  return true;
}

// The whole body, within the deadline and the size bound.
bool WinHttpClient::RequestRun::ReadBody(HINTERNET request, const Text& address,
                                         const Deadline& deadline, std::string& body) {
  body.clear();
  for (;;) {
    if (deadline.Passed()) return Fail("WinHttpReadData", ERROR_WINHTTP_TIMEOUT);
    // Each read waits no longer than the time left. Should the option not
    // take, the receive time-out of SetTimeouts still bounds the wait.
    int receiveMs = deadline.Cap(kWebStallTimeout);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof receiveMs);
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available)) {
      return Fail("WinHttpQueryDataAvailable", GetLastError());
    }
    if (available == 0) return EndOfBody(request, address, body.size());
    if (!ReadChunk(request, available, address, body)) return false;
  }
}

// Appends what one read gives, at most `available` bytes.
bool WinHttpClient::RequestRun::ReadChunk(HINTERNET request, DWORD available, const Text& address,
                                          std::string& body) {
  // One byte over the cap is enough to know the answer is too large.
  const std::size_t room = kMaxReplyBytes + 1 - body.size();
  const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>({available, room, 64 * 1024}));
  const std::size_t had = body.size();
  body.resize(had + chunk);
  DWORD read = 0;
  if (!WinHttpReadData(request, body.data() + had, chunk, &read)) {
    return Fail("WinHttpReadData", GetLastError());
  }
  body.resize(had + read);
  if (body.size() > kMaxReplyBytes) {
    return Fail(u"The answer from " + address + u" is larger than " + DecimalText(kMaxReplyBytes) +
                u" bytes");
  }
  return true;
}

// The data has ended: a whole answer, unless fewer bytes came than the
// answer promised.
bool WinHttpClient::RequestRun::EndOfBody(HINTERNET request, const Text& address,
                                          std::size_t received) {
  DWORD promised = 0;
  if (QueryContentLength(request, promised) && received < promised) {
    return FailBecause(address,
                       u"The answer stopped after " + DecimalText(received) + u" of " +
                           DecimalText(promised) + u" bytes",
                       ERROR_WINHTTP_CONNECTION_ERROR);
  }
  return true;
}

bool WinHttpClient::Exchange(Text address, std::wstring method, std::string body,
                             const wchar_t* headers, Answer& answer) {
  struct Done {
    RequestRun run;
    Answer answer;
    bool ok = false;
  };
  // The requests and their proxy look-up may take up to the deadline: they
  // run on a worker while the window stays served, owning all they touch
  // (`headers` is a literal). A wait that fails is a failed call.
  Done done;
  try {
    done = RunServed([address = std::move(address), method = std::move(method),
                      body = std::move(body), headers]() mutable {
      Done run;
      run.ok = run.run.Run(address, std::move(method), std::move(body), headers, run.answer);
      // WinHTTP closes the socket of an answer that failed or was left
      // unread itself; the connection handle goes too, so that the next
      // request of the run starts from a new one and nothing of this one is
      // carried over.
      if (!run.ok) {
        if (const auto target = ParseHttpsAddress(run.run.lastAddress_)) {
          WinHttpPool::Process().Forget(target->host, target->port);
        }
      }
      return run;
    });
  } catch (const RunTimeError& error) {
    failure_ = FromUtf8(error.what());
    return false;
  }
  failure_ = std::move(done.run.failure_);
  routeNotes_ = std::move(done.run.routeNotes_);
  answer = std::move(done.answer);
  return done.ok;
}

std::int32_t WinHttpClient::FetchToFile(const Text& address, const Text& localPath) {
  StartCall();
  Answer answer;
  if (!Exchange(address, L"GET", std::string(), nullptr, answer)) return 0;
  lastCallOK_ = 1;
  if (answer.status < 200 || answer.status > 299) {
    failure_ = u"HTTP status " + DecimalText(answer.status) + u" from " + address;
    return 0;
  }
  // The latest-programs folder may lie on a slow network drive too. A wait
  // that fails is a failed call.
  try {
    const std::string failure = RunServed(
        [localPath, bytes = std::move(answer.body)] { return ReplaceFileWith(localPath, bytes); });
    failure_ = FromUtf8(failure);
    return failure.empty() ? 1 : 0;
  } catch (const RunTimeError& error) {
    failure_ = FromUtf8(error.what());
    return 0;
  }
}

std::unique_ptr<WebReply> WinHttpClient::SubmitForm(const Text& address, const FormFields& fields) {
  StartCall();
  Answer answer;
  if (!Exchange(address, L"POST", EncodeForm(fields),
                L"Content-Type: application/x-www-form-urlencoded\r\n", answer)) {
    return std::make_unique<WebReply>(Text());
  }
  lastCallOK_ = 1;
  return std::make_unique<WebReply>(FromUtf8(answer.body));
}

}  // namespace keldo
