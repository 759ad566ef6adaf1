#pragma once
// The stand-in website as a child process on a free loopback port.
#include <string>
#include <vector>

#include "standin-website/fault_names.h"
#include "support/listening_child.h"

namespace keldo {

// Whose certificate the stand-in shows: one the test CA signed, or one
// that nobody trusts.
enum class StandinCertificate { Trusted, Untrusted };

class StandinServer {
 public:
  // `log` names a file that gets one line per request (see the website's
  // README); empty for none.
  explicit StandinServer(StandinCertificate certificate = StandinCertificate::Trusted,
                         const std::string& log = "");
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  int Port() const { return child_.Port(); }
  // "https://127.0.0.1:<port>", then "/<fault>" when one is named (one of
  // standin_fault's names).
  std::string Website(const std::string& fault = "") const;

  // One of each per test process, started on first use.
  static StandinServer& Trusted();
  static StandinServer& Untrusted();

 private:
  ListeningChild child_;
};

// The client ports of the requests in a stand-in's log whose line holds
// `path`, in order.
std::vector<int> ClientPorts(const std::string& log, const std::string& path);

// A loopback port on which nothing listens.
int ClosedPort();

}  // namespace keldo
