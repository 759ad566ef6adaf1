#include <utility>

#include "app/main_check.h"
#include "base/platform_services.h"

namespace keldo {

std::unique_ptr<MainCheck> General::Main(const Ports& ports, Text website) {
  auto window = std::make_unique<MainCheck>(ports, std::move(website));
  window->ShowMe();
  return window;
}

Text ConfiguredWebsite() { return FromUtf8(KELDO_WEBSITE_U8); }

}  // namespace keldo
