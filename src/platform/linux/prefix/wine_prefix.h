#pragma once
#include <string>

namespace keldo {

// The Wine prefix that the product lives in, by Wine's own convention:
// $WINEPREFIX, or ~/.wine when that is unset.
struct WinePrefix {
  std::string root;

  // Throws RunTimeError without a home, or when the prefix is no folder this
  // user may enter.
  static WinePrefix FromEnvironment();
  std::string UserReg() const { return root + "/user.reg"; }
  std::string SystemReg() const { return root + "/system.reg"; }
  std::string DosDevices() const { return root + "/dosdevices"; }
};

}  // namespace keldo
