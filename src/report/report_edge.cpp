#include "report/report_edge.h"

#include <cstdio>
#include <cstring>

namespace keldo {

namespace {

// The length of the UTF-8 sequence that starts at `at`, 0 when none does.
std::size_t SequenceLength(const unsigned char* at, std::size_t left) {
  const unsigned char lead = at[0];
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || length > left) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((at[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

int ReportUntrappedError(const char* what) noexcept {
  // Text from outside (a path, a server's words) may be in it: controls,
  // DEL, the C1 controls and any byte outside a UTF-8 sequence are escaped
  // as the report escapes every line, into a buffer of its own.
  static constexpr char kHex[] = "0123456789ABCDEF";
  char line[1024];
  std::size_t used = 0;
  const auto put = [&](char c) {
    if (used < sizeof line - 2) line[used++] = c;
  };
  for (const char* c = "keldo-check-report: "; *c != '\0'; ++c) put(*c);
  const char* text = what != nullptr ? what : "an error of unknown kind";
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const std::size_t size = std::strlen(text);
  for (std::size_t i = 0; i < size;) {
    const unsigned char byte = bytes[i];
    const std::size_t length = byte >= 0x80 ? SequenceLength(bytes + i, size - i) : 1;
    const bool c1 = length == 2 && byte == 0xC2 && bytes[i + 1] <= 0x9F;
    const char named = byte == '\t' ? 't' : byte == '\r' ? 'r' : byte == '\n' ? 'n' : '\0';
    if (byte == '\\' || named != '\0') {
      put('\\');
      put(named != '\0' ? named : '\\');
    } else if (byte >= 0x20 && byte != 0x7F && length == 1) {
      put(static_cast<char>(byte));
    } else if (length > 1 && !c1) {
      for (std::size_t k = 0; k < length; ++k) put(static_cast<char>(bytes[i + k]));
      i += length;
      continue;
    } else {
      const unsigned char shown = c1 ? bytes[i + 1] : byte;
      put('\\');
      put('x');
      put(kHex[shown >> 4]);
      put(kHex[shown & 0xF]);
      if (c1) ++i;
    }
    ++i;
  }
  line[used++] = '\n';
  std::fflush(stdout);
  std::fwrite(line, 1, used, stderr);
  std::fflush(stderr);
  return kExitFailed;
}

}  // namespace keldo
