#pragma once
#include "app/clock.h"
#include "app/text.h"

// "yyyymmddhhmmss": 14 zero-padded digits, 24-hour clock.
Text TimeStamp(const LocalDateTime& when);
