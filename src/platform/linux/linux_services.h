#pragma once
// The Linux platform layer: every port over a Wine prefix, with the
// settings that tests may change.
#include <memory>
#include <string>

#include "base/platform_services.h"
#include "platform/linux/prefix/wine_prefix.h"
#include "platform/linux/web/curl_exchange.h"

namespace keldo {

struct LinuxPlatformOptions {
  WinePrefix prefix;
  WebLimits webLimits;
  std::string mountProgram = "gio";
};

std::unique_ptr<PlatformServices> MakeLinuxPlatformServices(LinuxPlatformOptions options);

}  // namespace keldo
