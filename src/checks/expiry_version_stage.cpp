#include "app/main_check.h"

namespace keldo {

void MainCheck::RunExpiryAndVersionStage() {
  ShowProgress(u"Checking Latest Progs folder", kFalse);
  EnsureLatestProgsFolder();
  ShowCaption(Control::lblServerShowsExpires, u"PC shows support expires: " + ReadServerExpiry());

  ShowProgress(u"Checking your Support expiry", kFalse);
  CheckSupportOnWeb();
  ShowCaption(Control::lblWebsiteExpires,
                  WebExpiry.empty() ? Text(u"Website shows support expires: --------")
                                    : u"Website show your support expires: " + WebExpiry);

  ShowProgress(u"Reading version on this PC", kFalse);
  PCVersionText = ReadSetting(u"VerNbr");
  PCVersion = General::VersionNumber(PCVersionText);
  ShowCaption(Control::lblPCversion, u"Version on this PC: " + DecimalText(PCVersion));

  ShowProgress(u"Reading latest version from website", kFalse);
  WebVersionText = GetWebVersion();
  if (WebVersionText != u"error") {
    WebVersion = General::VersionNumber(WebVersionText);
  } else {
    ShowProgress(u"Cannot read website", kFalse);
    DebugMsg(u"Cannot read version from web");
    WebVersion = 0;
  }
  DebugMsg(u"Version on web: " + DecimalText(WebVersion));
  ShowCaption(Control::lblWebVersion, u"Version on website: " + DecimalText(WebVersion));

  ShowProgress(u"Reading version from server LATEST PROGS folder", kFalse);
  ServerVersionText = ReadServerVersion();
  ShowCaption(Control::lblServerVersion, u"Version in Latest Progs folder: " + ServerVersionText);
  if (ServerVersionText != u"error") {
    ServerVersion = General::VersionNumber(ServerVersionText);
  } else {
    DebugMsg(u"Cannot read version from server");
    ServerVersion = 0;
  }
  DebugMsg(u"Version on Server - " + DecimalText(ServerVersion));
}

}  // namespace keldo
