#include "platform/linux/posix_error.h"

#include <cstring>

#include "base/errors.h"

namespace keldo {

std::string ErrnoText(const std::string& what, int err) {
  char buffer[256];
  // The GNU form returns the text, which may or may not live in `buffer`.
  const char* text = ::strerror_r(err, buffer, sizeof buffer);
  return PlatformFailureText(what, text, err);
}

void ThrowErrno(const std::string& what, int err) { throw RunTimeError(err, ErrnoText(what, err)); }

}  // namespace keldo
