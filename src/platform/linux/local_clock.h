#pragma once
#include "app/clock.h"

class LocalClock : public Clock {
 public:
  LocalDateTime Now() override;
};
