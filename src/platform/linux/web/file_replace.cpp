#include "platform/linux/web/file_replace.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/posix_error.h"
#include "platform/linux/unique_fd.h"

namespace keldo {

std::string ReplaceFileWith(const std::string& path, const std::string& bytes) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  std::string temp = folder + "/.download-XXXXXX";
  // mkostemp opens with O_CREAT | O_EXCL, which never follows a link.
  UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.valid()) return ErrnoText("Creating a file in " + folder, errno);
  ::fchmod(fd.get(), 0644);  // mkostemp's 0600 is narrower than a downloaded file needs
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::unlink(temp.c_str());
      return ErrnoText("Writing " + temp, err);
    }
    written += static_cast<std::size_t>(n);
  }
  if (::close(fd.Release()) != 0) {  // closed even when it fails
    const int err = errno;
    ::unlink(temp.c_str());
    return ErrnoText("Writing " + temp, err);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return ErrnoText("Replacing " + path, err);
  }
  return {};
}

}  // namespace keldo
