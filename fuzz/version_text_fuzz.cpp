// VersionNumber and RemoveChars on any text: never a crash or an escaped
// exception, the number the rules give, and what RemoveChars promises.
#include "fuzz_require.h"
#include "fuzz_text.h"
#include "version/version_number.h"

// The entry point is libFuzzer's and stays outside the project namespace.
using namespace keldo;

namespace {

// The version number worked out the long way, straight from the rules: trim
// blanks, at least 12 units, a leading "v", drop every "v" and ".", take
// what precedes the first blank as an optionally signed run of decimal
// digits within 32 bits; anything else is 0.
std::int32_t ExpectedNumber(const Text& text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == Text::npos) return 0;
  const Text trimmed = text.substr(first, text.find_last_not_of(u' ') - first + 1);
  if (trimmed.size() < 12 || trimmed[0] != u'v') return 0;
  Text stripped;
  for (const char16_t c : trimmed) {
    if (c != u'v' && c != u'.') stripped.push_back(c);
  }
  const auto blank = stripped.find(u' ');
  if (blank == Text::npos) return 0;
  Text digits = stripped.substr(0, blank);
  bool negative = false;
  if (!digits.empty() && (digits[0] == u'-' || digits[0] == u'+')) {
    negative = digits[0] == u'-';
    digits.erase(0, 1);
  }
  if (digits.empty()) return 0;
  long long value = 0;
  for (const char16_t c : digits) {
    if (c < u'0' || c > u'9') return 0;
    value = value * 10 + (c - u'0');
    if (value > 2147483648LL) return 0;
  }
  value = negative ? -value : value;
  return value > 2147483647LL ? 0 : static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Text text = FuzzText(data, size);
  const std::int32_t number = VersionNumber(text);
  FUZZ_REQUIRE(number == ExpectedNumber(text));
  FUZZ_REQUIRE(VersionNumber(u"   " + text + u" ") == number);

  // The text up to its first NUL is the text, the rest the set.
  const auto nul = text.find(u'\0');
  const Text part = text.substr(0, nul);
  const Text set = nul == Text::npos ? Text() : text.substr(nul + 1);
  const Text kept = RemoveChars(part, set);
  std::size_t inSet = 0;
  for (const char16_t c : part) inSet += set.find(c) != Text::npos;
  FUZZ_REQUIRE(kept.size() + inSet == part.size());
  for (const char16_t c : kept) FUZZ_REQUIRE(set.find(c) == Text::npos);
  FUZZ_REQUIRE(RemoveChars(part, Text()) == part);
  return 0;
}
