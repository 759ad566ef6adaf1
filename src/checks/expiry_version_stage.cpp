#include "base/failure_sentinel.h"
#include "checks/check_run.h"
#include "local/latest_progs.h"
#include "local/product_settings.h"
#include "version/version_number.h"
#include "web/website_version.h"

namespace keldo {

void CheckRun::RunExpiryAndVersionStage() {
  CheckState& s = state_;
  window_.ShowProgress(u"Checking Latest Progs folder", ProgressFlag::Off);
  MakeLatestProgsFolder();
  ShowCaption(
      Control::lblServerShowsExpires,
      u"PC shows support expires: " + ReadServerExpiry(FileService(), ports_.files,
                                                       s.LatestProgsFolder, s.ExpiryFile, window_));

  window_.ShowProgress(u"Checking your Support expiry", ProgressFlag::Off);
  AskWebsiteForExpiry();
  // "show your" with an expiry, "shows" without: both are this program's own texts, not a slip.
  ShowCaption(Control::lblWebsiteExpires,
              s.WebExpiry.empty() ? Text(u"Website shows support expires: --------")
                                  : u"Website show your support expires: " + s.WebExpiry);

  window_.ShowProgress(u"Reading version on this PC", ProgressFlag::Off);
  s.PCVersionText = ReadSetting(ports_.settings, u"VerNbr");
  s.PCVersion = VersionNumber(s.PCVersionText);
  ShowCaption(Control::lblPCversion, u"Version on this PC: " + DecimalText(s.PCVersion));

  window_.ShowProgress(u"Reading latest version from website", ProgressFlag::Off);
  s.WebVersionText = GetWebVersion(ports_.web, ports_.files, ports_.clock, s.DownloadURL,
                                   s.VersionFile, s.LatestProgsFolder, window_);
  if (s.WebVersionText != kFailureSentinel) {
    s.WebVersion = VersionNumber(s.WebVersionText);
  } else {
    window_.ShowProgress(u"Cannot read website", ProgressFlag::Off);
    window_.DebugMsg(u"Cannot read version from web");
    s.WebVersion = 0;
  }
  window_.DebugMsg(u"Version on web: " + DecimalText(s.WebVersion));
  ShowCaption(Control::lblWebVersion, u"Version on website: " + DecimalText(s.WebVersion));

  window_.ShowProgress(u"Reading version from server LATEST PROGS folder", ProgressFlag::Off);
  s.ServerVersionText =
      ReadServerVersion(FileService(), ports_.files, s.LatestProgsFolder, s.VersionFile, window_);
  ShowCaption(Control::lblServerVersion, u"Version in Latest Progs folder: " + s.ServerVersionText);
  if (s.ServerVersionText != kFailureSentinel) {
    s.ServerVersion = VersionNumber(s.ServerVersionText);
  } else {
    window_.DebugMsg(u"Cannot read version from server");
    s.ServerVersion = 0;
  }
  window_.DebugMsg(u"Version on Server - " + DecimalText(s.ServerVersion));
}

}  // namespace keldo
