#include "app/main_check.h"

void MainCheck::RunSettingsStage() {
  MainView& view = ports_.view;
  view.SetCaption(Control::lblAutoUpdate, ReadSetting(u"AutoUpdate") == u"No"
                                              ? u"Auto Update:  User turned it OFF"
                                              : u"Auto Update:  ON");
  view.SetCaption(Control::lblSingleOrNetwork, GetInstallType() == u"network"
                                                   ? u"Multi-user version of Keldo"
                                                   : u"Single-user version of Keldo");
  ShowProgress(u"Checking for updates", kTrue);
  SerialNbr = ReadSetting(u"PkgNbr");
  view.SetCaption(Control::lblSerial, u"Serial Number:  " + SerialNbr);
}
