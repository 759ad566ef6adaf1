#include "platform/linux/files/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/posix_error.h"
#include "platform/linux/unique_fd.h"

namespace keldo {

namespace {

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(UniqueFd fd, std::string name) : fd_(std::move(fd)), name_(std::move(name)) {}

  std::size_t Read(char* buffer, std::size_t count) override {
    for (;;) {
      const ssize_t n = ::read(fd_.get(), buffer, count);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) ThrowErrno("Reading " + name_, errno);
    }
  }

 private:
  UniqueFd fd_;
  std::string name_;
};

}  // namespace

std::unique_ptr<InputFile> PosixTextFiles::OpenForInput(const Text& path) {
  const std::string name = ToUtf8(path);
  const auto unixPath = paths_.Resolve(path);
  if (!unixPath) ThrowErrno("Opening " + name, ENOENT);
  // Non-blocking only for the open, so that a FIFO cannot stall the run.
  UniqueFd fd(::open(unixPath->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) ThrowErrno("Opening " + name, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) ThrowErrno("Opening " + name, errno);
  if (S_ISDIR(st.st_mode)) ThrowErrno("Opening " + name, EISDIR);
  if (!S_ISREG(st.st_mode)) ThrowErrno("Opening " + name, EINVAL);
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ThrowErrno("Opening " + name, errno);
  }
  return std::make_unique<PosixInputFile>(std::move(fd), name);
}

void PosixTextFiles::RemoveFile(const Text& path) {
  const std::string name = ToUtf8(path);
  const auto unixPath = paths_.Resolve(path);
  if (!unixPath) ThrowErrno("Deleting " + name, ENOENT);
  if (::unlink(unixPath->c_str()) != 0) ThrowErrno("Deleting " + name, errno);
}

Text PosixTextFiles::FromAnsi(const std::string& bytes) { return codePage_.ToText(bytes); }

}  // namespace keldo
