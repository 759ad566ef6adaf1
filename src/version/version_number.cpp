#include "version/version_number.h"

#include <cstdint>
#include <exception>
#include <limits>
#include <optional>

namespace keldo {

namespace {

// An optionally signed run of ASCII decimal digits within the 32-bit range.
// Locale forms (grouping, fractions, exponents, radix prefixes) never occur
// in a well-formed version and are refused.
std::optional<std::int32_t> ParseInt32(TextView digits) {
  bool negative = false;
  std::size_t i = 0;
  if (i < digits.size() && (digits[i] == u'-' || digits[i] == u'+')) {
    negative = digits[i] == u'-';
    ++i;
  }
  if (i == digits.size()) return std::nullopt;
  std::int64_t value = 0;
  const std::int64_t limit =
      negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
               : std::numeric_limits<std::int32_t>::max();
  for (; i < digits.size(); ++i) {
    if (digits[i] < u'0' || digits[i] > u'9') return std::nullopt;
    value = value * 10 + (digits[i] - u'0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::int32_t VersionNumber(Text text) {
  try {
    const Text trimmed = TrimBlanks(text);
    if (trimmed.size() < 12) return 0;
    if (trimmed[0] != u'v') return 0;
    const Text stripped = RemoveChars(trimmed, u"v.");
    const auto space = stripped.find(u' ');
    if (space == Text::npos) return 0;
    return ParseInt32(TextView(stripped).substr(0, space)).value_or(0);
  } catch (const std::exception&) {
    return 0;
  }
}

Text RemoveChars(Text text, Text set) {
  Text result;
  result.reserve(text.size());
  for (const char16_t c : text) {
    if (set.find(c) == Text::npos) result.push_back(c);
  }
  return result;
}

}  // namespace keldo
