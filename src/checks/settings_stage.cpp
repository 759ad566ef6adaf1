#include "app/main_check.h"

namespace keldo {

void MainCheck::RunSettingsStage() {
  ShowCaption(Control::lblAutoUpdate, ReadSetting(u"AutoUpdate") == u"No"
                                              ? u"Auto Update:  User turned it OFF"
                                              : u"Auto Update:  ON");
  ShowCaption(Control::lblSingleOrNetwork, GetInstallType() == u"network"
                                                   ? u"Multi-user version of Keldo"
                                                   : u"Single-user version of Keldo");
  ShowProgress(u"Checking for updates", kTrue);
  SerialNbr = ReadSetting(u"PkgNbr");
  ShowCaption(Control::lblSerial, u"Serial Number:  " + SerialNbr);
}

}  // namespace keldo
