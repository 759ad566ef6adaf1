// The stand-in for the vendor's website, for tests and the demo: HTTPS on
// 127.0.0.1, the version file and the support-check script, and the
// faults a real website can show. See README.md.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "base/website_paths.h"
#include "fault_names.h"
#include "raw_faults.h"
#include "sample_installation_values.h"

namespace {

namespace fault = standin_fault;

constexpr const char* kUsage =
    "Usage: keldo-standin-website --cert PEM --key PEM [--files DIR] [--port N] [--lifetime "
    "SECONDS]\n"
    "                             [--log FILE] [--fault NAME]\n";
// The sample installation's website (demo/sample_installation.conf).
constexpr char kDefaultVersionLine[] = KELDO_SAMPLE_WEBSITE_VERSION_LINE "\r\n";
constexpr std::size_t kOverCapBytes = 2 * 1024 * 1024;
constexpr std::size_t kMaxServedFileBytes = 4 * 1024 * 1024;
constexpr std::chrono::seconds kLateSilence{12};
constexpr std::chrono::seconds kSlowSilence{3};

std::atomic<bool> stopping{false};

struct Settings {
  std::string cert, key, files, log;
  std::string fault;  // applied to every request that names none
  int port = 0;
  int lifetimeSeconds = 300;
};

// Sleeps for `total`, or less when the server is stopping. Returns false
// when it stopped early.
bool Pause(std::chrono::milliseconds total) {
  const auto until = std::chrono::steady_clock::now() + total;
  while (std::chrono::steady_clock::now() < until) {
    if (stopping) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string SupportAnswer(const std::string& serial) {
  static const std::map<std::string, std::string> kTable = {
      {KELDO_SAMPLE_SERIAL,
       "Serial=" KELDO_SAMPLE_SERIAL "\nExpired=No expires: " KELDO_SAMPLE_WEBSITE_EXPIRY "\r\n"},
      {"654321", "Serial=654321\nExpired=Yes expires: 30/06/2024\r\n"},
      {"000000", "<html><body>Service unavailable</body></html>\r\n"},
  };
  const auto found = kTable.find(serial);
  return found != kTable.end() ? found->second : "Serial=" + serial + "\nExpired=Unknown\r\n";
}

// A request target in absolute form ("https://host:port/path", as clients
// send through a proxy) names the same resource as its path alone.
std::string OriginFormPath(const std::string& path) {
  const auto scheme = path.find("://");
  if (path.empty() || path[0] == '/' || scheme == std::string::npos) return path;
  const auto slash = path.find('/', scheme + 3);
  return slash == std::string::npos ? "/" : path.substr(slash);
}

bool ReadServedFile(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), {});
  return content.size() <= kMaxServedFileBytes;
}

// One line per request, appended to the --log file when there is one.
class RequestLog {
 public:
  explicit RequestLog(const std::string& path) {
    if (!path.empty()) out_.open(path, std::ios::app);
  }
  void Write(const std::string& line) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (out_.is_open()) out_ << line << std::endl;
  }

 private:
  std::mutex mutex_;
  std::ofstream out_;
};

class Website {
 public:
  Website(Settings settings, RequestLog& log, int rawPort)
      : settings_(std::move(settings)), log_(log), rawPort_(rawPort) {}

  // The path's first segment may name a fault; the rest is served as usual.
  void Handle(const httplib::Request& req, httplib::Response& res) {
    // The client's port tells its connections apart.
    log_.Write(req.method + " " + req.path + " from port " + std::to_string(req.remote_port));
    const auto slash = req.path.find('/', 1);
    const std::string first =
        req.path.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    const std::string rest = slash == std::string::npos ? "/" : req.path.substr(slash);
    if (IsRawFault(first)) return RawRedirect(req, res);
    if (first == fault::kNotFound) return Status(res, 404, "Not Found");
    if (first == fault::kServerError) return Status(res, 500, "Internal Server Error");
    if (first == fault::kSilent) {
      Pause(std::chrono::seconds(60));  // never answers while a client waits
      return Status(res, 503, "Gave up");
    }
    // Silent for a while, then the ordinary answer: long enough for a client
    // to show that it waits (slow), or for a window to be probed while it
    // waits (late).
    if (first == fault::kLate || first == fault::kSlow) {
      if (!Pause(first == fault::kLate ? kLateSilence : kSlowSilence))
        return Status(res, 503, "Stopping");
      return Serve(rest, req, res);
    }
    if (first == fault::kDrip) return Drip(res);
    if (first == fault::kHuge)
      return res.set_content(std::string(kOverCapBytes, 'v'), "text/plain");
    if (first == fault::kHugeChunked) return HugeChunked(res);
    if (first == fault::kCut) return Cut(res);
    if (first == fault::kHttpRedirect) return Redirect(res, "http://" + Host(req) + rest);
    if (first == fault::kRedirect) return Redirect(res, "https://" + Host(req) + rest);
    if (first == fault::kRedirectLoop) return Redirect(res, "https://" + Host(req) + req.path);
    Serve(req.path, req, res);
  }

 private:
  // `path` as asked for, without a fault's segment; the rest from `req`.
  void Serve(const std::string& path, const httplib::Request& req, httplib::Response& res) {
    const std::string folder = KELDO_DOWNLOAD_FOLDER_PATH;
    if (req.method == "GET" && path.rfind(folder, 0) == 0) {
      const std::string name = path.substr(folder.size());
      std::string content;
      if (name.find('/') == std::string::npos && !settings_.files.empty() &&
          ReadServedFile(settings_.files + "/" + name, content)) {
        return res.set_content(content, "application/octet-stream");
      }
      if (name == KELDO_VERSION_FILE_NAME && settings_.files.empty()) {
        return res.set_content(kDefaultVersionLine, "application/octet-stream");
      }
      return Status(res, 404, "Not Found");
    }
    if (req.method == "POST" && path == KELDO_SUPPORT_CHECK_PATH) {
      // The script wants both fields, even when empty.
      if (!req.has_param("serialnbr") || !req.has_param("company")) {
        return Status(res, 400, "Missing field");
      }
      return res.set_content(SupportAnswer(req.get_param_value("serialnbr")), "text/plain");
    }
    Status(res, 404, "Not Found");
  }

  static void Status(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content("<html><body>" + text + "</body></html>\r\n", "text/html");
  }

  static void Redirect(httplib::Response& res, const std::string& location) {
    res.status = 302;
    res.set_header("Location", location);
  }

  static std::string Host(const httplib::Request& req) { return req.get_header_value("Host"); }

  // The same host name, the raw responder's port, the whole path; 307 keeps
  // a post a post.
  void RawRedirect(const httplib::Request& req, httplib::Response& res) const {
    std::string host = Host(req);
    const auto colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']', colon) == std::string::npos)
      host.resize(colon);
    res.status = 307;
    res.set_header("Location", "https://" + host + ":" + std::to_string(rawPort_) + req.path);
  }

  // One byte a second: slower than any client should put up with.
  static void Drip(httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [](std::size_t offset, httplib::DataSink& sink) {
      if (offset >= 120 || !Pause(std::chrono::seconds(1))) return false;
      const char byte = kDefaultVersionLine[offset % (sizeof kDefaultVersionLine - 1)];
      return sink.write(&byte, 1);
    });
  }

  // Over the cap without announcing a length.
  static void HugeChunked(httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [](std::size_t offset, httplib::DataSink& sink) {
      if (offset >= kOverCapBytes) {
        sink.done();
        return true;
      }
      const std::string chunk(64 * 1024, 'v');
      return sink.write(chunk.data(), chunk.size());
    });
  }

  // Announces 1000 bytes, sends 100 and drops the connection.
  static void Cut(httplib::Response& res) {
    res.set_content_provider(1000, "text/plain",
                             [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset > 0) return false;
                               std::string part = kDefaultVersionLine;
                               part.resize(100, 'x');
                               return sink.write(part.data(), part.size());
                             });
  }

  Settings settings_;
  RequestLog& log_;
  int rawPort_;
};

bool IsFault(const std::string& name) {
  for (const char* known : fault::kAllFaults) {
    if (name == known) return true;
  }
  return false;
}

bool ParseArgs(int argc, char** argv, Settings& settings) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--cert")
      settings.cert = value;
    else if (arg == "--key")
      settings.key = value;
    else if (arg == "--files")
      settings.files = value;
    else if (arg == "--port")
      settings.port = std::atoi(value.c_str());
    else if (arg == "--lifetime")
      settings.lifetimeSeconds = std::atoi(value.c_str());
    else if (arg == "--log")
      settings.log = value;
    else if (arg == "--fault")
      settings.fault = value;
    else
      return false;
  }
  // A fault it does not know would serve the ordinary answers as 404s.
  return !settings.cert.empty() && !settings.key.empty() && settings.lifetimeSeconds > 0 &&
         (settings.fault.empty() || IsFault(settings.fault));
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  if (!ParseArgs(argc, argv, settings)) {
    std::cerr << kUsage << "Faults:";
    for (const char* name : fault::kAllFaults) std::cerr << ' ' << name;
    std::cerr << '\n';
    return 64;
  }
  httplib::SSLServer server(settings.cert.c_str(), settings.key.c_str());
  if (!server.is_valid()) {
    std::cerr << "keldo-standin-website: cannot load " << settings.cert << " and " << settings.key
              << '\n';
    return 1;
  }
  // Silent and slow answers each hold a worker; leave room for many.
  server.new_task_queue = [] { return new httplib::ThreadPool(32); };
  // A connection serves any number of requests, as a real website's would;
  // the library's default of five would split a test's requests over
  // connections by their count alone.
  server.set_keep_alive_max_count(1000);
  // Never freed: a detached flood may still log while the process ends.
  auto* log = new RequestLog(settings.log);
  RawFaultServer raw({settings.cert, settings.key, &stopping,
                      [log](const std::string& line) { log->Write(line); }});
  if (raw.Port() == 0) {
    std::cerr << "keldo-standin-website: cannot serve the raw faults\n";
    return 1;
  }
  Website website(settings, *log, raw.Port());
  // A program whose website address is built in meets a fault only when the
  // whole website shows it (--fault).
  const std::string fault = settings.fault;
  auto handler = [&website, fault](const httplib::Request& req, httplib::Response& res) {
    httplib::Request origin = req;
    origin.path = OriginFormPath(req.path);
    if (!fault.empty()) origin.path = "/" + fault + origin.path;
    website.Handle(origin, res);
  };
  server.Get(".*", handler);
  server.Post(".*", handler);

  int port = settings.port;
  if (port == 0) {
    port = server.bind_to_any_port("127.0.0.1");
  } else if (!server.bind_to_port("127.0.0.1", port)) {
    port = -1;
  }
  if (port <= 0) {
    std::cerr << "keldo-standin-website: cannot listen on 127.0.0.1\n";
    return 1;
  }
  std::cout << "port=" << port << std::endl;

  std::thread listener([&server] { server.listen_after_bind(); });
  Pause(std::chrono::seconds(settings.lifetimeSeconds));
  stopping = true;
  server.stop();
  listener.join();
  return 0;
}
