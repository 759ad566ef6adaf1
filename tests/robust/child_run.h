#pragma once
// Runs a program as a child process with a bounded wait: its output, how it
// ended and its peak memory. A child that outlives its deadline is killed,
// and the run says so.
#include <chrono>
#include <string>
#include <vector>

namespace keldo {

// Where a child's standard output or error goes. The parent reads a pipe or
// a terminal's master side; a closed pipe has no reader from the start, so
// every write to it fails (EPIPE).
enum class ChildStream { Pipe, ClosedPipe, Terminal };

struct ChildLaunch {
  std::vector<std::string> argv;         // argv[0] is the program's path
  std::vector<std::string> environment;  // "NAME=value", the whole environment
  std::string workingFolder;
  std::chrono::seconds deadline{60};
  // Run under this user and group id instead of our own (root sees through
  // permission bits, so an unwritable folder needs an ordinary user).
  int runAsId = -1;
  ChildStream out = ChildStream::Pipe;
  ChildStream err = ChildStream::Pipe;
  unsigned short terminalColumns = 80;  // the width of a Terminal stream
};

struct ChildResult {
  bool timedOut = false;
  int exitCode = -1;  // -1 when the child did not exit by itself
  int signal = 0;     // the signal that ended it, 0 when it exited
  std::string out, err;
  long peakRssKiB = 0;  // the child's own, from wait4
  std::chrono::milliseconds elapsed{0};
};

// Throws std::runtime_error when the child cannot be started at all.
ChildResult RunChild(const ChildLaunch& launch);

}  // namespace keldo
