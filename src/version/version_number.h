#pragma once
// Version texts such as "v6.3.215 01/12/2024" as comparable numbers.
#include <cstdint>

#include "base/text.h"

namespace keldo {

// The digits before the first blank, once every "v" and "." is removed,
// as a number: 63215 for the text above. 0 for anything that is not a
// version text (too short, no leading "v", no blank, not a 32-bit number).
std::int32_t VersionNumber(Text text);

// `text` without any of the code units in `set`.
Text RemoveChars(Text text, Text set);

}  // namespace keldo
