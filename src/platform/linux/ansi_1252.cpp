#include "platform/linux/ansi_1252.h"

#include <string_view>

std::string ToWindows1252(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    // Search the table that FromWindows1252 decodes with, so both directions
    // agree byte for byte.
    char mapped = '?';
    for (unsigned b = 0x80; b < 0xA0; ++b) {
      const char byte = static_cast<char>(b);
      if (FromWindows1252(std::string_view(&byte, 1))[0] == c) {
        mapped = byte;
        break;
      }
    }
    out.push_back(mapped);
    // A surrogate pair is one character: one '?' for both halves.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
    }
  }
  return out;
}
