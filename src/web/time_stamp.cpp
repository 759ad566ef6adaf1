#include "web/time_stamp.h"

#include <cstdio>

namespace keldo {

Text TimeStamp(const LocalDateTime& when) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d%02d%02d", when.year, when.month, when.day,
                when.hour, when.minute, when.second);
  return FromUtf8(digits);
}

}  // namespace keldo
