#include "raw_faults.h"

#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "fault_names.h"
#include "sample_installation_values.h"

namespace {

// A flood stops by itself after this long or this much, whichever comes
// first, should the client never give up.
constexpr std::chrono::seconds kFloodTime{60};
constexpr std::size_t kFloodBytes = std::size_t{1} << 30;
constexpr std::size_t kMaxRequestHead = 64 * 1024;
// The sample installation's website version file (demo/sample_installation.conf).
constexpr char kVersionLine[] = KELDO_SAMPLE_WEBSITE_VERSION_LINE "\r\n";
constexpr std::size_t kVersionLineBytes = sizeof kVersionLine - 1;

bool WriteAll(SSL* ssl, const std::string& bytes) {
  return bytes.empty() || SSL_write(ssl, bytes.data(), static_cast<int>(bytes.size())) > 0;
}

// Reads the request's head and its body (by Content-Length), so that the
// client has sent everything before the answer starts. Returns the path.
bool ReadRequest(SSL* ssl, std::string& path) {
  std::string head;
  char buffer[4096];
  std::size_t end = std::string::npos;
  while ((end = head.find("\r\n\r\n")) == std::string::npos) {
    if (head.size() > kMaxRequestHead) return false;
    const int got = SSL_read(ssl, buffer, sizeof buffer);
    if (got <= 0) return false;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  const auto space = head.find(' ');
  const auto next = head.find(' ', space + 1);
  if (space == std::string::npos || next == std::string::npos) return false;
  path = head.substr(space + 1, next - space - 1);
  std::size_t length = 0;
  for (const char* name : {"\r\nContent-Length:", "\r\ncontent-length:"}) {
    const auto at = head.find(name);
    if (at != std::string::npos && at < end) {
      length = std::strtoul(head.c_str() + at + 17, nullptr, 10);
    }
  }
  std::size_t bodyHad = head.size() - end - 4;
  while (bodyHad < length) {
    const int got = SSL_read(ssl, buffer, sizeof buffer);
    if (got <= 0) return false;
    bodyHad += static_cast<std::size_t>(got);
  }
  return true;
}

// Writes `piece` again and again until the client stops reading or a
// bound is reached.
std::size_t Flood(SSL* ssl, const std::string& piece, const std::atomic<bool>& stopping) {
  std::string batch;
  while (batch.size() < 16 * 1024) batch += piece;
  const auto until = std::chrono::steady_clock::now() + kFloodTime;
  std::size_t sent = 0;
  while (!stopping && sent < kFloodBytes && std::chrono::steady_clock::now() < until) {
    if (!WriteAll(ssl, batch)) break;
    sent += batch.size();
  }
  return sent;
}

std::string Fault(const std::string& path) {
  const auto slash = path.find('/', 1);
  return path.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
}

std::size_t Answer(SSL* ssl, const std::string& fault, const std::atomic<bool>& stopping) {
  const std::string body =
      "Content-Length: " + std::to_string(kVersionLineBytes) + "\r\n\r\n" + kVersionLine;
  if (fault == standin_fault::kTrailerFlood) {
    // A whole chunked body, then trailer lines that never end.
    char size[20];
    std::snprintf(size, sizeof size, "%zx", kVersionLineBytes);
    if (!WriteAll(ssl, std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") + size +
                           "\r\n" + kVersionLine + "\r\n0\r\n")) {
      return 0;
    }
    return Flood(ssl, "X-Trailer: " + std::string(52, 't') + "\r\n", stopping);
  }
  if (fault == standin_fault::kReset) {
    // The head and a tenth of the promised body; Serve then resets.
    const std::string part = std::string("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n") +
                             kVersionLine + std::string(79, 'x');
    return WriteAll(ssl, part) ? part.size() : 0;
  }
  if (fault == standin_fault::kInterimFlood) {
    return Flood(ssl, "HTTP/1.1 100 Continue\r\n\r\n", stopping);
  }
  std::string answer = "HTTP/1.1 200 OK\r\n";
  if (fault == standin_fault::kHeaderFlood) {
    for (int i = 0; i < 10000; ++i) answer += "X-Flood-" + std::to_string(i) + ": flood\r\n";
  } else {  // long-header
    answer += "X-Long: " + std::string(10 * 1024 * 1024, 'h') + "\r\n";
  }
  answer += body;
  return WriteAll(ssl, answer) ? answer.size() : 0;
}

// Lets the client take what was sent, then drops the connection with a
// reset instead of a TLS close: the close of `socket` sends the RST.
void Reset(int socket) {
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const linger abort{1, 0};
  setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

void Serve(int socket, SSL_CTX* context, const RawFaultSettings& settings) {
  // Bounds a client that stops reading or writing.
  const timeval wait{30, 0};
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
  SSL* ssl = SSL_new(context);
  if (ssl != nullptr) {
    SSL_set_fd(ssl, socket);
    std::string path;
    bool reset = false;
    if (SSL_accept(ssl) == 1 && ReadRequest(ssl, path)) {
      const std::string fault = Fault(path);
      const std::size_t sent = Answer(ssl, fault, *settings.stopping);
      settings.log("raw " + fault + " sent " + std::to_string(sent) + " bytes");
      reset = fault == standin_fault::kReset;
    }
    if (reset) {
      Reset(socket);
    } else {
      SSL_shutdown(ssl);
    }
    SSL_free(ssl);
  }
  ERR_clear_error();
  ::close(socket);
  SSL_CTX_free(context);
}

}  // namespace

bool IsRawFault(const std::string& fault) {
  for (const char* raw : standin_fault::kRawFaults) {
    if (fault == raw) return true;
  }
  return false;
}

RawFaultServer::RawFaultServer(RawFaultSettings settings) : settings_(std::move(settings)) {
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  context_ = context;
  if (context == nullptr ||
      SSL_CTX_use_certificate_chain_file(context, settings_.cert.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context, settings_.key.c_str(), SSL_FILETYPE_PEM) != 1) {
    return;
  }
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 ||
      ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 64) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Listen(); });
}

RawFaultServer::~RawFaultServer() {
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) ::close(listener_);
  SSL_CTX_free(static_cast<SSL_CTX*>(context_));
}

void RawFaultServer::Listen() {
  while (!*settings_.stopping) {
    pollfd waiter{listener_, POLLIN, 0};
    if (::poll(&waiter, 1, 100) != 1) continue;
    const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket < 0) continue;
    // Detached, each holding a reference to the context: a flood ends by
    // its own bounds, and the process may end before it does.
    SSL_CTX_up_ref(static_cast<SSL_CTX*>(context_));
    std::thread(Serve, socket, static_cast<SSL_CTX*>(context_), settings_).detach();
  }
}
