#pragma once
// Texts are UTF-16 code units throughout the core: lengths, positions and
// comparisons count code units, exactly as the product's own texts do.
// Conversion to and from other encodings happens only at the ports.
#include <cstdint>
#include <string>
#include <string_view>

namespace keldo {

using Text = std::u16string;
using TextView = std::u16string_view;

// 16-bit flags: -1 for true, 0 for false.
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

// 1-based position of `sought` in `text`, 0 when absent.
std::int32_t InStr(TextView text, TextView sought);

// Removes blanks (U+0020 only) from both ends; tabs and line ends stay.
Text TrimBlanks(TextView text);

// Plain decimal digits with a leading minus sign, no grouping.
Text DecimalText(std::int64_t value);

// UTF-8 <-> UTF-16. Ill-formed input becomes U+FFFD rather than failing:
// each maximal piece of a broken sequence gives one U+FFFD and the next byte
// is decoded afresh, so no well-formed byte after it is lost (the rule
// browsers use). A lone surrogate has no UTF-8 form and becomes U+FFFD.
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);

// Windows-1252, the ANSI code page of the product's Western installations.
Text FromWindows1252(std::string_view bytes);

}  // namespace keldo
