#include "platform/linux/files/bounded_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/unique_fd.h"

namespace keldo {

BoundedRead ReadFileInPieces(const std::string& path, std::size_t maxBytes, struct stat* identity,
                             const std::function<bool(std::string_view)>& piece) {
  // O_NONBLOCK keeps a FIFO planted under the name from stalling the open.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.valid()) return {false, errno};
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return {false, errno};
  if (!S_ISREG(st.st_mode)) return {};
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) return {};
  // Counts as it reads: /proc files report a size of 0, and a file may grow.
  std::size_t total = 0;
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {false, errno};
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
    if (total > maxBytes) return {};
    if (!piece(std::string_view(chunk, static_cast<std::size_t>(n)))) break;
  }
  if (identity != nullptr) *identity = st;
  return {true, 0};
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         struct stat* identity) {
  std::string content;
  const BoundedRead outcome =
      ReadFileInPieces(path, maxBytes, identity, [&](std::string_view piece) {
        content.append(piece);
        return true;
      });
  if (!outcome.read) return std::nullopt;
  return content;
}

}  // namespace keldo
