#include "platform/windows/clock/local_clock.h"

#include <windows.h>

namespace keldo {

LocalDateTime LocalClock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace keldo
