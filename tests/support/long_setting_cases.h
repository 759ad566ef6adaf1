#pragma once
// Settings of every length around the 64 KiB bound, one table for the Linux
// and the Windows layer: both read a text whose UTF-16 bytes, its NUL
// included, pass 64 KiB as missing.
#include <cstddef>

#include "base/text.h"

namespace keldo {

struct LongSettingCase {
  const char* name;
  std::size_t units;  // UTF-16 code units stored, the NUL not counted
  char16_t fill;      // every unit
  bool read;          // false: reads as the empty text
};

inline constexpr LongSettingCase kLongSettingCases[] = {
    {"Short", 6, u'7', true},
    {"LongestThatReads", 32767, u'7', true},  // 65,536 bytes with its NUL
    {"OneUnitOver", 32768, u'7', false},
    {"LongestNonAscii", 32767, u'\u00fc', true},
    {"CyrillicOver", 32768, u'\u042f', false},
    {"FourTimesOver", 131072, u'7', false},
    {"TwoMegabytes", 1024 * 1024, u'7', false},
};

inline Text LongSettingText(const LongSettingCase& c) { return Text(c.units, c.fill); }

}  // namespace keldo
