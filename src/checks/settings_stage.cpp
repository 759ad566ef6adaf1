#include "checks/check_run.h"
#include "local/product_settings.h"

namespace keldo {

void CheckRun::RunSettingsStage() {
  ShowCaption(Control::lblAutoUpdate, ReadSetting(ports_.settings, u"AutoUpdate") == u"No"
                                          ? u"Auto Update:  User turned it OFF"
                                          : u"Auto Update:  ON");
  ShowCaption(Control::lblSingleOrNetwork, GetInstallType(ports_.settings) == u"network"
                                               ? u"Multi-user version of Keldo"
                                               : u"Single-user version of Keldo");
  // On here alone: the product's first step passes -1, and the flag changes
  // nothing on the window.
  window_.ShowProgress(u"Checking for updates", ProgressFlag::On);
  state_.SerialNbr = ReadSetting(ports_.settings, u"PkgNbr");
  ShowCaption(Control::lblSerial, u"Serial Number:  " + state_.SerialNbr);
}

}  // namespace keldo
