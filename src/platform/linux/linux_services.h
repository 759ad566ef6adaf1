#pragma once
// The Linux platform layer: every port over a Wine prefix, with the
// settings that tests may change.
#include <memory>
#include <string>

#include "base/platform_services.h"
#include "platform/linux/web/curl_exchange.h"
#include "platform/linux/wine_prefix.h"

namespace keldo {

struct LinuxPlatformOptions {
  WinePrefix prefix;
  WebLimits webLimits;
  std::string mountProgram = "gio";
};

std::unique_ptr<PlatformServices> MakeLinuxPlatformServices(LinuxPlatformOptions options);

}  // namespace keldo
