// FromUtf8 on any bytes: the text a browser would show. Each maximal piece
// of a broken sequence is one U+FFFD and the byte that broke it is decoded
// afresh, so nothing well-formed after it is lost. Checked against a decoder
// written straight from the table of well-formed byte sequences, and
// ToUtf8 against any UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "fuzz_require.h"

// The entry point is libFuzzer's and stays outside the project namespace.
using namespace keldo;

namespace {

struct ByteRange {
  unsigned char low, high;
};

// The well-formed UTF-8 byte sequences, one row per lead-byte range.
struct Form {
  ByteRange bytes[4];
  std::size_t length;
};

constexpr ByteRange kTail = {0x80, 0xBF};
constexpr Form kForms[] = {
    {{{0x00, 0x7F}}, 1},
    {{{0xC2, 0xDF}, kTail}, 2},
    {{{0xE0, 0xE0}, {0xA0, 0xBF}, kTail}, 3},
    {{{0xE1, 0xEC}, kTail, kTail}, 3},
    {{{0xED, 0xED}, {0x80, 0x9F}, kTail}, 3},
    {{{0xEE, 0xEF}, kTail, kTail}, 3},
    {{{0xF0, 0xF0}, {0x90, 0xBF}, kTail, kTail}, 4},
    {{{0xF1, 0xF3}, kTail, kTail, kTail}, 4},
    {{{0xF4, 0xF4}, {0x80, 0x8F}, kTail, kTail}, 4},
};

void PushUtf16(Text& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
  }
}

// Whether the byte at `at` starts a form, and how many of its bytes follow
// it in `bytes`; a complete form is decoded, anything shorter is one U+FFFD
// standing for the bytes that matched (at least the first).
Text ReferenceDecode(std::string_view bytes, bool& wellFormed) {
  static constexpr unsigned char kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
  Text out;
  wellFormed = true;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const Form* form = nullptr;
    for (const Form& f : kForms) {
      if (lead >= f.bytes[0].low && lead <= f.bytes[0].high) form = &f;
    }
    std::size_t matched = 1;
    if (form != nullptr) {
      while (matched < form->length && at + matched < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[at + matched]);
        if (b < form->bytes[matched].low || b > form->bytes[matched].high) break;
        ++matched;
      }
    }
    if (form == nullptr || matched < form->length) {
      out.push_back(u'\uFFFD');
      wellFormed = false;
    } else {
      char32_t cp = lead & kLeadMask[form->length - 1];
      for (std::size_t k = 1; k < form->length; ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(bytes[at + k]) & 0x3F);
      }
      PushUtf16(out, cp);
    }
    at += matched;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  bool wellFormed = false;
  const Text text = FromUtf8(bytes);
  FUZZ_REQUIRE(text == ReferenceDecode(bytes, wellFormed));
  if (wellFormed) FUZZ_REQUIRE(ToUtf8(text) == bytes);

  // Whatever comes before it, a line end survives.
  const Text line = FromUtf8(std::string(bytes) + "\r\n");
  FUZZ_REQUIRE(line.size() >= 2 && line.compare(line.size() - 2, 2, u"\r\n") == 0);

  // The same bytes as UTF-16 units: back unchanged through UTF-8, except
  // that a lone surrogate, which has no UTF-8 form, comes back as U+FFFD.
  Text units, expected;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    const bool high = u >= 0xD800 && u <= 0xDBFF, low = u >= 0xDC00 && u <= 0xDFFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      expected.push_back(u);
      expected.push_back(units[++i]);
    } else {
      expected.push_back(high || low ? u'\uFFFD' : u);
    }
  }
  FUZZ_REQUIRE(FromUtf8(ToUtf8(units)) == expected);
  return 0;
}
