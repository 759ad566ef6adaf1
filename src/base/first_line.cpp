#include "base/first_line.h"

#include <cstring>
#include <string>

#include "base/errors.h"

namespace keldo {

Text ReadFirstLine(TextFiles& files, const Text& path) {
  const auto file = files.OpenForInput(path);
  std::string line;
  bool readAnything = false;
  char buffer[4096];
  for (;;) {
    const std::size_t count = file->Read(buffer, sizeof buffer);
    if (count == 0) break;
    readAnything = true;
    const void* carriageReturn = std::memchr(buffer, '\r', count);
    const std::size_t take =
        carriageReturn ? static_cast<std::size_t>(static_cast<const char*>(carriageReturn) - buffer)
                       : count;
    if (line.size() + take > kMaxFirstLineBytes) {
      throw RunTimeError(0, "The first line of " + ToUtf8(path) + " is longer than " +
                                std::to_string(kMaxFirstLineBytes) + " bytes");
    }
    line.append(buffer, take);
    if (carriageReturn) return files.FromAnsi(line);
  }
  // An empty file has no first line. No system call failed, so there is no
  // platform code to keep: 62 is the runtime's own number for a read past the
  // end of a file, the error such a read has always raised.
  if (!readAnything) throw RunTimeError(62, "Input past end of file: " + ToUtf8(path));
  return files.FromAnsi(line);
}

}  // namespace keldo
