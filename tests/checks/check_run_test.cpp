// Whole check runs against the fakes: every caption, message box and
// pointer change the user sees, in the order seen.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/first_line.h"
#include "base/website_paths.h"
#include "support/case_name.h"
#include "support/rig.h"

namespace keldo {

namespace {

using Log = std::vector<std::string>;

const Text kExpiry = Text(kLatestOnD) + u"SupportExpiry.dat";
const Text kVersion = Text(kLatestOnD) + u"keldo63version.dat";

const std::string kAuto = "lblAutoUpdate: Auto Update:  ON",
                  kMulti = "lblSingleOrNetwork: Multi-user version of Keldo",
                  kSerial = "lblSerial: Serial Number:  K-1001", kBusy = "pointer: 11",
                  kIdle = "pointer: 0", kDrive = "lblServer: Keldo Database on Drive: D",
                  kScreen = "screen: 0",
                  kPcExpiry = "lblServerShowsExpires: PC shows support expires: 31/12/2025",
                  kPcExpiryError = "lblServerShowsExpires: PC shows support expires: error",
                  kWebExpiry = "lblWebsiteExpires: Website show your support expires:  31/12/2025",
                  kNoWebExpiry = "lblWebsiteExpires: Website shows support expires: --------",
                  kPcVersion = "lblPCversion: Version on this PC: 63215",
                  kWebVersion = "lblWebVersion: Version on website: 63216",
                  kNoWebVersion = "lblWebVersion: Version on website: 0",
                  kServerVersion =
                      "lblServerVersion: Version in Latest Progs folder: v6.3.210 01/11/2024",
                  kServerError = "lblServerVersion: Version in Latest Progs folder: error";

struct RunCase {
  const char* name;
  std::function<void(Rig&)> setUp;
  Log expected;
};

const RunCase kRuns[] = {
    {"Ordinary",
     [](Rig&) {},
     {kAuto, kMulti, kSerial, kBusy, kIdle, kDrive, kPcExpiry, kScreen, kWebExpiry, kPcVersion,
      kWebVersion, kServerVersion}},
    {"DatabaseNowhere",
     [](Rig& r) { r.files.contents.erase(kDbOnD); },
     {kAuto, kMulti, kSerial, kBusy, kIdle,
      "box: Your Accounts database not found so cannot continue", "end"}},
    {"FolderCannotBeCreated",
     [](Rig& r) {
       r.web.ensureResult = r.web.fetchResult = 0;
       r.files.contents.erase(kExpiry);
       r.files.contents.erase(kVersion);
     },
     {kAuto, kMulti, kSerial, kBusy, kIdle, kDrive, "box: Cannot create Latest Program Folder",
      kPcExpiryError, kScreen, kWebExpiry, kPcVersion, kNoWebVersion, kServerError}},
    {"WebsiteDown",
     [](Rig& r) { r.web.fetchResult = r.web.submitOK = 0; },
     {kAuto, kMulti, kSerial, kBusy, kIdle, kDrive, kPcExpiry, kNoWebExpiry, kPcVersion,
      kNoWebVersion, kServerVersion}},
    {"UnreadableSupportAnswer",
     [](Rig& r) { r.web.replyText = u"<h1>500 Internal Server Error</h1>"; },
     {kAuto, kMulti, kSerial, kBusy, kIdle, kDrive, kPcExpiry, "box: Could not read from website",
      kScreen, kNoWebExpiry, kPcVersion, kWebVersion, kServerVersion}},
    {"EmptyLatestProgsFolder",
     [](Rig& r) { r.files.contents.erase(kExpiry), r.files.contents.erase(kVersion); },
     {kAuto, kMulti, kSerial, kBusy, kIdle, kDrive, kPcExpiryError, kScreen, kWebExpiry, kPcVersion,
      kWebVersion, kServerError}},
    {"ZeroByteAndOverlongFilesNoSettings",
     [](Rig& r) {
       r.files.contents[kExpiry] = "";
       r.files.contents[kVersion] = std::string(kMaxFirstLineBytes + 1, 'v') + "\r\n";
       r.settings.values.clear();
     },
     {kAuto, "lblSingleOrNetwork: Single-user version of Keldo",
      "lblSerial: Serial Number:  ", kBusy, kIdle, kDrive, kPcExpiryError, kScreen, kWebExpiry,
      "lblPCversion: Version on this PC: 0", kWebVersion, kServerError}},
};

class WholeRun : public testing::TestWithParam<RunCase> {};

TEST_P(WholeRun, ShowsEveryFindingInOrder) {
  auto rig = Rig::Ordinary();
  GetParam().setUp(*rig);
  rig->Start();
  EXPECT_EQ(rig->PressStart(), GetParam().expected);
  EXPECT_EQ(rig->view.unpaintedCaptions, 0);
  EXPECT_EQ(rig->files.openHandles, 0);
  EXPECT_EQ(rig->view.pointer, kPointerDefault);
}

INSTANTIATE_TEST_SUITE_P(Runs, WholeRun, testing::ValuesIn(kRuns), CaseName());

TEST(WholeRun, DiagnosticsOfAnOrdinaryRunInOrder) {
  auto rig = Rig::Ordinary();
  rig->Start().SetDebugOn(-1);
  const std::string folder = "D:\\Keldo6\\LATEST_PROGS\\";
  EXPECT_EQ(rig->PressStart(), (Log{kAuto,
                                    kMulti,
                                    kSerial,
                                    kBusy,
                                    "diag: Looking for Keldo DB on drive: C",
                                    "diag: Looking for Keldo DB on drive: D",
                                    "diag: Keldo Data found on Drive: D",
                                    kIdle,
                                    kDrive,
                                    "diag: Checking " + folder + "SupportExpiry.dat",
                                    "diag: Opening " + folder + "SupportExpiry.dat",
                                    kPcExpiry,
                                    kScreen,
                                    kWebExpiry,
                                    kPcVersion,
                                    "diag: Checking website version",
                                    "diag: Version on web: 63216",
                                    kWebVersion,
                                    "diag: Checking " + folder + "keldo63version.dat",
                                    "diag: Opening " + folder + "keldo63version.dat",
                                    kServerVersion,
                                    "diag: Version on Server - 63210"}));
  EXPECT_EQ(
      rig->web.fetches.at(0).first,
      Text(kWebsite) + u"" KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME u"?20241201093015");
  // Each step reaches the view's progress call, for a front end that shows it.
  EXPECT_EQ(rig->view.progress,
            (std::vector<std::string>{"Checking for updates", "Locating Keldo database",
                                      "Database found on Drive D", "Checking Latest Progs folder",
                                      "Checking your Support expiry", "Reading version on this PC",
                                      "Reading latest version from website",
                                      "Reading version from server LATEST PROGS folder"}));
}

TEST(WholeRun, FailedVersionReadsAreAnnounced) {
  auto rig = Rig::Ordinary();
  rig->web.fetchResult = 2;
  rig->files.contents.erase(kVersion);
  rig->Start().SetDebugOn(-1);
  const Log log = rig->PressStart();
  const std::string path = "D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat";
  EXPECT_EQ(Log(log.end() - 10, log.end()),
            (Log{"diag: Checking website version",
                 "diag: 12029 A connection with the server could not be established",
                 "diag: Cannot read version from web", "diag: Version on web: 0", kNoWebVersion,
                 "diag: Checking " + path, "diag: File not found: " + path, kServerError,
                 "diag: Cannot read version from server", "diag: Version on Server - 0"}));
}

TEST(WholeRun, DatabaseNowhereEndsTheProgramForGood) {
  auto rig = Rig::Ordinary();
  rig->files.contents.erase(kDbOnD);
  MainCheck& window = rig->Start();
  window.SetDebugOn(-1);
  const Log log = rig->PressStart();
  EXPECT_EQ(Log(log.end() - 5, log.end()),
            (Log{"diag: :\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb not found on any drive", kIdle,
                 "diag: Cannot find Keldo data files so cannot continue",
                 "box: Your Accounts database not found so cannot continue", "end"}));
  EXPECT_EQ(window.State(), RunState::Ended);
  EXPECT_EQ(window.LastOutcome(), RunOutcome::Closed);
  EXPECT_EQ(rig->web.clientsMade, 0);
  EXPECT_TRUE(rig->PressStart().empty());
  EXPECT_EQ(rig->view.Caption(Control::lblServer), u"Keldo Database on Drive:");
}

TEST(SettingsStage, CaptionsFollowTheSettingsExactly) {
  const struct {
    const char16_t *autoUpdate, *network, *serial;
    const char* autoCaption;
    const char* installCaption;
  } cases[] = {
      {u"No", u"Yes", u"123", "User turned it OFF", "Multi-user"},
      {u"no", u"yes", u" 12 34 ", "ON", "Single-user"},
      {u"No ", u"Yes ", u"", "ON", "Single-user"},
      {u"", u"YES", u"\u00c4-\u20ac1", "ON", "Single-user"},
  };
  for (const auto& c : cases) {
    auto rig = Rig::Ordinary();
    rig->settings.Set(u"AutoUpdate", c.autoUpdate);
    rig->settings.Set(u"Network", c.network);
    rig->settings.Set(u"PkgNbr", c.serial);
    rig->Start();
    const Log log = rig->PressStart();
    EXPECT_EQ(Log(log.begin(), log.begin() + 3),
              (Log{std::string("lblAutoUpdate: Auto Update:  ") + c.autoCaption,
                   std::string("lblSingleOrNetwork: ") + c.installCaption + " version of Keldo",
                   "lblSerial: Serial Number:  " + ToUtf8(c.serial)}));
    EXPECT_EQ(rig->web.submits.at(0).second.Fields().at(0).second, c.serial);
  }
}

}  // namespace

}  // namespace keldo
