#pragma once
#include "base/clock.h"

namespace keldo {

class LocalClock final : public Clock {
 public:
  LocalDateTime Now() override;
};

}  // namespace keldo
