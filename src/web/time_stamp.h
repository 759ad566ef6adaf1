#pragma once
#include "base/clock.h"
#include "base/text.h"

namespace keldo {

// "yyyymmddhhmmss": 14 zero-padded digits, 24-hour clock.
Text TimeStamp(const LocalDateTime& when);

}  // namespace keldo
