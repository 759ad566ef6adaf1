#pragma once
#include "app/clock.h"

class LocalClock final : public Clock {
 public:
  LocalDateTime Now() override;
};
