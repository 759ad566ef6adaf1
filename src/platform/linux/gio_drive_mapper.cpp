#include "platform/linux/gio_drive_mapper.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>

#include "base/errors.h"
#include "platform/linux/posix_error.h"

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

GioDriveMapper::~GioDriveMapper() { ReapEnded(); }

void GioDriveMapper::StartMapping(const Text& /*letter*/, const Text& remotePath) {
  ReapEnded();
  const std::string url = SmbUrl(remotePath);
  if (url.empty()) {
    throw RunTimeError(EINVAL, "Not a network path: " + ToUtf8(remotePath));
  }
  SpawnActions files;
  for (const int stream : {0, 1, 2}) {
    const int err = ::posix_spawn_file_actions_addopen(&files.actions, stream, "/dev/null",
                                                       stream == 0 ? O_RDONLY : O_WRONLY, 0);
    if (err != 0) ThrowErrno("Cannot start " + program_, err);
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
  if (err != 0) ThrowErrno("Cannot start " + program_, err);
  running_.push_back(pid);
}

void GioDriveMapper::ReapEnded() {
  running_.erase(std::remove_if(running_.begin(), running_.end(),
                                [](pid_t pid) {
                                  int status = 0;
                                  const pid_t r = ::waitpid(pid, &status, WNOHANG);
                                  return r == pid || (r < 0 && errno == ECHILD);
                                }),
                 running_.end());
}

}  // namespace keldo
