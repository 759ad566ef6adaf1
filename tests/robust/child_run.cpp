#include "child_run.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace keldo {

namespace {

// Owns one end of a pipe.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

void MakePipe(Fd& readEnd, Fd& writeEnd) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0)
    throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
  readEnd.Reset(fds[0]);
  writeEnd.Reset(fds[1]);
}

// A terminal whose output the parent reads byte for byte: raw, so that the
// line discipline adds no carriage return to a line end.
void MakeTerminal(Fd& master, Fd& slave, unsigned short columns) {
  int fds[2];
  termios raw{};
  ::cfmakeraw(&raw);
  winsize size{};
  size.ws_row = 24;
  size.ws_col = columns;
  if (::openpty(&fds[0], &fds[1], nullptr, &raw, &size) != 0)
    throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
  ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  ::fcntl(fds[1], F_SETFD, FD_CLOEXEC);
  master.Reset(fds[0]);
  slave.Reset(fds[1]);
}

void MakeStream(ChildStream kind, Fd& readEnd, Fd& writeEnd, unsigned short columns) {
  if (kind == ChildStream::Terminal) return MakeTerminal(readEnd, writeEnd, columns);
  MakePipe(readEnd, writeEnd);
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Between fork and exec only async-signal-safe calls; on failure the child
// ends with 127, as a shell would for a program it cannot run.
[[noreturn]] void BecomeChild(const ChildLaunch& launch, int outFd, int errFd, char** argv,
                              char** envp) {
  const int devNull = ::open("/dev/null", O_RDONLY);
  if (devNull < 0 || ::dup2(devNull, 0) < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0 ||
      ::chdir(launch.workingFolder.c_str()) != 0) {
    ::_exit(127);
  }
  if (launch.runAsId >= 0) {
    const auto id = static_cast<unsigned>(launch.runAsId);
    if (::setgroups(0, nullptr) != 0 || ::setgid(id) != 0 || ::setuid(id) != 0) ::_exit(127);
  }
  ::execve(argv[0], argv, envp);
  ::_exit(127);
}

}  // namespace

ChildResult RunChild(const ChildLaunch& launch) {
  std::vector<std::string> args = launch.argv;
  std::vector<std::string> env = launch.environment;
  auto argv = Pointers(args);
  auto envp = Pointers(env);
  Fd outRead, outWrite, errRead, errWrite;
  MakeStream(launch.out, outRead, outWrite, launch.terminalColumns);
  MakeStream(launch.err, errRead, errWrite, launch.terminalColumns);

  const auto started = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  if (pid == 0) BecomeChild(launch, outWrite.Get(), errWrite.Get(), argv.data(), envp.data());
  outWrite.Reset();
  errWrite.Reset();
  if (launch.out == ChildStream::ClosedPipe) outRead.Reset();
  if (launch.err == ChildStream::ClosedPipe) errRead.Reset();

  ChildResult result;
  const auto deadline = started + launch.deadline;
  pollfd fds[2] = {{outRead.Get(), POLLIN, 0}, {errRead.Get(), POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = (outRead.Get() >= 0) + (errRead.Get() >= 0);
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    if (::poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t count = ::read(fds[i].fd, buffer, sizeof buffer);
      if (count > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(count));
      } else if (count == 0 || errno != EINTR) {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  result.peakRssKiB = usage.ru_maxrss;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace keldo
