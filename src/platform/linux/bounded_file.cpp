#include "platform/linux/bounded_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/unique_fd.h"

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         struct stat* identity) {
  // O_NONBLOCK keeps a FIFO planted under the name from stalling the open.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) return std::nullopt;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) return std::nullopt;
  // Grows as it reads: /proc files report a size of 0.
  std::string content;
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    if (content.size() + static_cast<std::size_t>(n) > maxBytes) return std::nullopt;
    content.append(chunk, static_cast<std::size_t>(n));
  }
  if (identity != nullptr) *identity = st;
  return content;
}
