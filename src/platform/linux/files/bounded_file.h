#pragma once
#include <sys/stat.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace keldo {

// A regular file's whole content, read only when it is no larger than
// `maxBytes`; nothing for a missing, unreadable, special or larger file.
// `identity`, when given, receives the file's stat as it was read.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         struct stat* identity = nullptr);

// Whether a bounded read got the file, and if not, the errno of the call
// that failed (open, fstat, read), or 0 for a special or larger file.
struct BoundedRead {
  bool read = false;
  int error = 0;
};

// The same file handed to `piece` a little at a time, so that nothing holds
// it whole. `piece` returns false when it needs no more. Not read for a
// missing, unreadable, special or larger file, which may have been read in
// part.
BoundedRead ReadFileInPieces(const std::string& path, std::size_t maxBytes, struct stat* identity,
                             const std::function<bool(std::string_view)>& piece);

}  // namespace keldo
