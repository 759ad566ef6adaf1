#include "platform/linux/mapper/drive_mapper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/errors.h"
#include "platform/linux/posix_error.h"
#include "platform/linux/unique_fd.h"

extern char** environ;

namespace keldo {

namespace {

std::string PercentEncode(const std::string& segment) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : segment) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
        b == '.' || b == '_' || b == '~') {
      out.push_back(c);
    } else {
      out += {'%', kHex[b >> 4], kHex[b & 0xF]};
    }
  }
  return out;
}

// Owners of the spawn attribute objects, destroyed on every path.
struct SpawnActions {
  posix_spawn_file_actions_t actions{};
  SpawnActions() { ::posix_spawn_file_actions_init(&actions); }
  ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions); }
};
struct SpawnAttributes {
  posix_spawnattr_t attributes{};
  SpawnAttributes() { ::posix_spawnattr_init(&attributes); }
  ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes); }
};

// Reaps the child when it has ended; never waits. True once it is gone.
bool Reaped(pid_t pid) {
  int status = 0;
  const pid_t r = ::waitpid(pid, &status, WNOHANG);
  return r == pid || (r < 0 && errno == ECHILD);
}

void ReapEnded(std::vector<pid_t>& pids) {
  pids.erase(std::remove_if(pids.begin(), pids.end(), Reaped), pids.end());
}

// Where the kernel has no pidfds (before Linux 5.3) a child is looked at
// this often instead.
constexpr std::chrono::milliseconds kLookAgain{50};

struct Awaited {
  pid_t pid;
  // Readable once the child has ended. Opened before the child is reaped,
  // so its id cannot belong to another process yet.
  UniqueFd ended;
};

// One poll over the children's pidfds, at most `timeout`; false with errno
// set when poll fails.
bool PollEnded(const std::vector<Awaited>& children, std::chrono::milliseconds timeout) {
  std::vector<pollfd> fds;
  for (const Awaited& child : children) {
    if (child.ended.valid()) {
      fds.push_back(pollfd{child.ended.get(), POLLIN, 0});
    } else {
      timeout = std::min(timeout, kLookAgain);
    }
  }
  return ::poll(fds.data(), fds.size(), static_cast<int>(timeout.count())) >= 0 || errno == EINTR;
}

}  // namespace

std::string SmbUrl(const Text& remotePath) {
  if (remotePath.size() < 3 || remotePath[0] != u'\\' || remotePath[1] != u'\\') return {};
  std::string url = "smb:/";
  Text segment;
  for (std::size_t i = 2; i <= remotePath.size(); ++i) {
    if (i == remotePath.size() || remotePath[i] == u'\\') {
      if (!segment.empty()) url += "/" + PercentEncode(ToUtf8(segment));
      segment.clear();
    } else {
      segment.push_back(remotePath[i]);
    }
  }
  return url == "smb:/" ? std::string() : url;
}

GioDriveMapper::~GioDriveMapper() {
  ReapEnded(started_);
  ReapEnded(leftover_);
}

void GioDriveMapper::StartMapping(const Text& /*letter*/, const Text& remotePath) {
  ReapEnded(started_);
  ReapEnded(leftover_);
  const std::string url = SmbUrl(remotePath);
  if (url.empty()) {
    throw RunTimeError(EINVAL, "Not a network path: " + ToUtf8(remotePath));
  }
  const std::string command = program_ + " mount " + url;
  SpawnActions files;
  for (const int stream : {0, 1, 2}) {
    const int err = ::posix_spawn_file_actions_addopen(&files.actions, stream, "/dev/null",
                                                       stream == 0 ? O_RDONLY : O_WRONLY, 0);
    if (err != 0) ThrowErrno("Starting " + command, err);
  }
  // The child starts with no signal blocked, whatever this process blocks.
  SpawnAttributes attributes;
  sigset_t none;
  sigemptyset(&none);
  ::posix_spawnattr_setsigmask(&attributes.attributes, &none);
  ::posix_spawnattr_setflags(&attributes.attributes, POSIX_SPAWN_SETSIGMASK);

  std::string mount = "mount";
  char* argv[] = {program_.data(), mount.data(), const_cast<char*>(url.c_str()), nullptr};
  pid_t pid = 0;
  const int err =
      ::posix_spawnp(&pid, program_.c_str(), &files.actions, &attributes.attributes, argv, environ);
  if (err != 0) ThrowErrno("Starting " + command, err);
  started_.push_back(pid);
}

void GioDriveMapper::WaitForStarted(std::chrono::milliseconds bound) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + bound;
  ReapEnded(leftover_);
  std::vector<Awaited> children;
  for (const pid_t pid : started_) {
    children.push_back(Awaited{pid, UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)))});
  }
  started_.clear();
  int err = 0;
  for (;;) {
    children.erase(std::remove_if(children.begin(), children.end(),
                                  [](const Awaited& child) { return Reaped(child.pid); }),
                   children.end());
    const Clock::time_point now = Clock::now();
    if (children.empty() || now >= deadline) break;
    if (!PollEnded(children, std::chrono::ceil<std::chrono::milliseconds>(deadline - now))) {
      err = errno;
      break;
    }
  }
  // Still running: left to run, and reaped once found ended.
  for (const Awaited& child : children) leftover_.push_back(child.pid);
  if (err != 0) ThrowErrno("Waiting for " + program_ + " mount", err);
}

}  // namespace keldo
