#pragma once
#include <chrono>

#include "platform/linux/web/curl_exchange.h"

namespace keldo {

// Short enough that the silent and slow servers fail fast.
inline const WebLimits kTestLimits{std::chrono::milliseconds(2000), std::chrono::milliseconds(3000),
                                   64, std::chrono::seconds(1)};

}  // namespace keldo
