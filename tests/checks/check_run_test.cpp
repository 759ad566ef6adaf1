// Whole check runs against the fakes: every caption, message box and
// pointer change the user sees, in the order seen.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/case_name.h"
#include "fakes/rig.h"
#include "local/first_line.h"

namespace {

using Log = std::vector<std::string>;

const std::string kSettingsLines[] = {"lblAutoUpdate: Auto Update:  ON",
                                      "lblSingleOrNetwork: Multi-user version of Keldo",
                                      "lblSerial: Serial Number:  K-1001"};

Log Join(std::initializer_list<std::string> lines) {
  Log log(std::begin(kSettingsLines), std::end(kSettingsLines));
  log.insert(log.end(), lines);
  return log;
}

struct RunCase {
  const char* name;
  std::function<void(Rig&)> setUp;
  Log expected;
};

const Text kExpiry = Text(kLatestOnD) + u"SupportExpiry.dat";
const Text kVersion = Text(kLatestOnD) + u"keldo63version.dat";

const RunCase kRuns[] = {
    {"Ordinary", [](Rig&) {},
     Join({"pointer: 11", "pointer: 0", "lblServer: Keldo Database on Drive: D",
           "lblServerShowsExpires: PC shows support expires: 31/12/2025", "screen: 0",
           "lblWebsiteExpires: Website show your support expires:  31/12/2025",
           "lblPCversion: Version on this PC: 63215", "lblWebVersion: Version on website: 63216",
           "lblServerVersion: Version in Latest Progs folder: v6.3.210 01/11/2024"})},
    {"DatabaseNowhere", [](Rig& r) { r.files.contents.erase(kDbOnD); },
     Join({"pointer: 11", "pointer: 0", "box: Your Accounts database not found so cannot continue",
           "end"})},
    {"FolderCannotBeCreated",
     [](Rig& r) {
       r.web.ensureResult = 0;
       r.web.fetchResult = 0;
       r.files.contents.erase(kExpiry);
       r.files.contents.erase(kVersion);
     },
     Join({"pointer: 11", "pointer: 0", "lblServer: Keldo Database on Drive: D",
           "box: Cannot create Latest Program Folder",
           "lblServerShowsExpires: PC shows support expires: error", "screen: 0",
           "lblWebsiteExpires: Website show your support expires:  31/12/2025",
           "lblPCversion: Version on this PC: 63215", "lblWebVersion: Version on website: 0",
           "lblServerVersion: Version in Latest Progs folder: error"})},
    {"WebsiteDown",
     [](Rig& r) {
       r.web.fetchResult = 0;
       r.web.submitOK = 0;
     },
     Join({"pointer: 11", "pointer: 0", "lblServer: Keldo Database on Drive: D",
           "lblServerShowsExpires: PC shows support expires: 31/12/2025",
           "lblWebsiteExpires: Website shows support expires: --------",
           "lblPCversion: Version on this PC: 63215", "lblWebVersion: Version on website: 0",
           "lblServerVersion: Version in Latest Progs folder: v6.3.210 01/11/2024"})},
    {"UnreadableSupportAnswer", [](Rig& r) { r.web.replyText = u"<h1>500 Internal Server Error</h1>"; },
     Join({"pointer: 11", "pointer: 0", "lblServer: Keldo Database on Drive: D",
           "lblServerShowsExpires: PC shows support expires: 31/12/2025",
           "box: Could not read from website", "screen: 0",
           "lblWebsiteExpires: Website shows support expires: --------",
           "lblPCversion: Version on this PC: 63215", "lblWebVersion: Version on website: 63216",
           "lblServerVersion: Version in Latest Progs folder: v6.3.210 01/11/2024"})},
    {"EmptyLatestProgsFolder",
     [](Rig& r) {
       r.files.contents.erase(kExpiry);
       r.files.contents.erase(kVersion);
     },
     Join({"pointer: 11", "pointer: 0", "lblServer: Keldo Database on Drive: D",
           "lblServerShowsExpires: PC shows support expires: error", "screen: 0",
           "lblWebsiteExpires: Website show your support expires:  31/12/2025",
           "lblPCversion: Version on this PC: 63215", "lblWebVersion: Version on website: 63216",
           "lblServerVersion: Version in Latest Progs folder: error"})},
    {"ZeroByteAndOverlongFiles",
     [](Rig& r) {
       r.files.contents[kExpiry] = "";
       r.files.contents[kVersion] = std::string(kMaxFirstLineBytes + 1, 'v') + "\r\n";
       r.settings.values.clear();
     },
     {"lblAutoUpdate: Auto Update:  ON", "lblSingleOrNetwork: Single-user version of Keldo",
      "lblSerial: Serial Number:  ", "pointer: 11", "pointer: 0",
      "lblServer: Keldo Database on Drive: D",
      "lblServerShowsExpires: PC shows support expires: error", "screen: 0",
      "lblWebsiteExpires: Website show your support expires:  31/12/2025",
      "lblPCversion: Version on this PC: 0", "lblWebVersion: Version on website: 63216",
      "lblServerVersion: Version in Latest Progs folder: error"}},
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

INSTANTIATE_TEST_SUITE_P(Runs, WholeRun, testing::ValuesIn(kRuns),
                         CaseName());

TEST(WholeRun, DiagnosticsOfAnOrdinaryRunInOrder) {
  auto rig = Rig::Ordinary();
  rig->Start().DebugOn = -1;
  const Log expected = Join(
      {"pointer: 11", "diag: Looking for Keldo DB on drive: C",
       "diag: Looking for Keldo DB on drive: D", "diag: Keldo Data found on Drive: D", "pointer: 0",
       "lblServer: Keldo Database on Drive: D",
       "diag: Checking D:\\Keldo6\\LATEST_PROGS\\SupportExpiry.dat",
       "diag: Opening D:\\Keldo6\\LATEST_PROGS\\SupportExpiry.dat",
       "lblServerShowsExpires: PC shows support expires: 31/12/2025", "screen: 0",
       "lblWebsiteExpires: Website show your support expires:  31/12/2025",
       "lblPCversion: Version on this PC: 63215", "diag: Checking website version",
       "diag: Version on web: 63216", "lblWebVersion: Version on website: 63216",
       "diag: Checking D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat",
       "diag: Opening D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat",
       "lblServerVersion: Version in Latest Progs folder: v6.3.210 01/11/2024",
       "diag: Version on Server - 63210"});
  EXPECT_EQ(rig->PressStart(), expected);
}

TEST(WholeRun, FailedVersionReadsAreAnnounced) {
  auto rig = Rig::Ordinary();
  rig->web.fetchResult = 2;
  rig->files.contents.erase(kVersion);
  rig->Start().DebugOn = -1;
  const Log log = rig->PressStart();
  const Log tail(log.end() - 10, log.end());
  EXPECT_EQ(tail, (Log{"diag: Checking website version",
                       "diag: 12029 A connection with the server could not be established",
                       "diag: Cannot read version from web", "diag: Version on web: 0",
                       "lblWebVersion: Version on website: 0",
                       "diag: Checking D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat",
                       "diag: File not found: D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat",
                       "lblServerVersion: Version in Latest Progs folder: error",
                       "diag: Cannot read version from server", "diag: Version on Server - 0"}));
}

TEST(WholeRun, DatabaseNowhereEndsTheProgramForGood) {
  auto rig = Rig::Ordinary();
  rig->files.contents.erase(kDbOnD);
  MainCheck& window = rig->Start();
  rig->PressStart();
  EXPECT_EQ(window.State(), RunState::Ended);
  EXPECT_EQ(window.LastOutcome(), RunOutcome::Closed);
  EXPECT_EQ(rig->web.clientsMade, 0);
  EXPECT_TRUE(rig->PressStart().empty());
  EXPECT_EQ(rig->view.Caption(Control::lblServer), u"Keldo Database on Drive:");
}

struct SettingsCase {
  const char16_t* autoUpdate;
  const char16_t* network;
  const char16_t* serial;
  Log expected;
};

TEST(SettingsStage, CaptionsFollowTheSettingsExactly) {
  const SettingsCase cases[] = {
      {u"No", u"Yes", u"123", {"lblAutoUpdate: Auto Update:  User turned it OFF", "lblSingleOrNetwork: Multi-user version of Keldo", "lblSerial: Serial Number:  123"}},
      {u"no", u"yes", u" 12 34 ", {"lblAutoUpdate: Auto Update:  ON", "lblSingleOrNetwork: Single-user version of Keldo", "lblSerial: Serial Number:   12 34 "}},
      {u"No ", u"Yes ", u"", {"lblAutoUpdate: Auto Update:  ON", "lblSingleOrNetwork: Single-user version of Keldo", "lblSerial: Serial Number:  "}},
      {u"", u"YES", u"Ä-€1", {"lblAutoUpdate: Auto Update:  ON", "lblSingleOrNetwork: Single-user version of Keldo", "lblSerial: Serial Number:  Ä-€1"}},
  };
  for (const auto& c : cases) {
    auto rig = Rig::Ordinary();
    rig->settings.Set(u"AutoUpdate", c.autoUpdate);
    rig->settings.Set(u"Network", c.network);
    rig->settings.Set(u"PkgNbr", c.serial);
    rig->Start();
    const Log log = rig->PressStart();
    EXPECT_EQ(Log(log.begin(), log.begin() + 3), c.expected) << ToUtf8(c.network);
    EXPECT_EQ(rig->window->SerialNbr, c.serial);
    ASSERT_EQ(rig->web.submits.size(), 1u);
    EXPECT_EQ(rig->web.submits[0].second.Fields()[0].second, c.serial);
  }
}

TEST(SettingsStage, OnlyTheProductsOwnSettingsAreRead) {
  auto rig = Rig::Ordinary();
  rig->settings.values[{u"Keldo5", u"ThisPC", u"Network"}] = u"Yes";
  rig->settings.values.erase({u"Keldo6", u"ThisPC", u"Network"});
  EXPECT_EQ(rig->Start().GetInstallType(), u"single");
  rig->settings.Set(u"Network", u"Yes");
  EXPECT_EQ(rig->window->GetInstallType(), u"network");
}

TEST(DatabaseStage, FixesThePathsFromTheDrive) {
  auto rig = Rig::Ordinary();
  MainCheck& window = rig->Start();
  rig->PressStart();
  EXPECT_EQ(window.DataDrive, u"D");
  EXPECT_EQ(window.DataFilePath, u":\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb");
  EXPECT_EQ(window.LatestProgsFolder, kLatestOnD);
  EXPECT_EQ(window.VersionFile, u"keldo63version.dat");
  EXPECT_EQ(window.ExpiryFile, u"SupportExpiry.dat");
  EXPECT_EQ(window.DownloadURL, Text(kWebsite) + u"/filesfordownload/");
  EXPECT_EQ(window.PCVersion, 63215);
  EXPECT_EQ(window.WebVersion, 63216);
  EXPECT_EQ(window.ServerVersion, 63210);
  EXPECT_TRUE(window.CompanyName.empty());
}

}  // namespace
