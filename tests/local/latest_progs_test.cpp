// The latest-programs folder: making sure it exists, and the two first-line
// readers with their diagnostic lines.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checks/check_run.h"
#include "local/latest_progs.h"
#include "support/case_name.h"
#include "support/rig.h"

namespace keldo {

namespace {

using Log = std::vector<std::string>;
const Text kExpiry = Text(kLatestOnD) + u"SupportExpiry.dat";
const std::string kPath = "D:\\Keldo6\\LATEST_PROGS\\SupportExpiry.dat";

struct ReaderCase {
  const char* name;
  std::function<void(Rig&)> setUp;
  const char16_t* result;
  Log diagnostics;
};

const ReaderCase kReaders[] = {
    {"Present", [](Rig&) {}, u"31/12/2025", {"diag: Checking " + kPath, "diag: Opening " + kPath}},
    {"Missing",
     [](Rig& r) { r.files.contents.erase(kExpiry); },
     u"error",
     {"diag: Checking " + kPath, "diag: File not found: " + kPath}},
    {"ZeroBytes",
     [](Rig& r) { r.files.contents[kExpiry] = ""; },
     u"error",
     {"diag: Checking " + kPath, "diag: Opening " + kPath, "diag: Error reading: " + kPath}},
    {"Locked",
     [](Rig& r) { r.files.failOpen = {kExpiry}; },
     u"error",
     {"diag: Checking " + kPath, "diag: Opening " + kPath, "diag: Error reading: " + kPath}},
    {"ReadFails",
     [](Rig& r) { r.files.failRead = {kExpiry}; },
     u"error",
     {"diag: Checking " + kPath, "diag: Opening " + kPath, "diag: Error reading: " + kPath}},
    {"EmptyFirstLine",
     [](Rig& r) { r.files.contents[kExpiry] = "\r\n31/12/2025"; },
     u"",
     {"diag: Checking " + kPath, "diag: Opening " + kPath}},
    {"LineFeedsAlone",
     [](Rig& r) { r.files.contents[kExpiry] = "a\nb\n"; },
     u"a\nb\n",
     {"diag: Checking " + kPath, "diag: Opening " + kPath}},
};

class Reader : public testing::TestWithParam<ReaderCase> {};

TEST_P(Reader, ReturnsTheFirstLineOrError) {
  auto rig = Rig::Ordinary();
  GetParam().setUp(*rig);
  MainCheck& window = rig->Start();
  window.SetDebugOn(-1);
  EXPECT_EQ(ReadServerExpiry(rig->fileSystem, rig->files, kLatestOnD, u"SupportExpiry.dat", window),
            GetParam().result);
  EXPECT_EQ(rig->view.log, GetParam().diagnostics);
  EXPECT_EQ(rig->files.openHandles, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Reader, testing::ValuesIn(kReaders), CaseName());

TEST(EnsureLatestProgsFolder, OnlyAZeroResultIsReported) {
  for (const std::int32_t result : {1, -1, 7, 0}) {
    auto rig = Rig::Ordinary();
    MainCheck& window = rig->Start();
    window.SetDebugOn(-1);
    CheckState state;
    PrepareCheckState(state, rig->ports);
    state.LatestProgsFolder = kLatestOnD;
    rig->web.ensureResult = result;
    CheckRun(rig->ports, kWebsite, state, window).MakeLatestProgsFolder();
    EXPECT_EQ(rig->web.ensured, std::vector<Text>{kLatestOnD});
    EXPECT_EQ(rig->view.log, result == 0 ? Log{"box: Cannot create Latest Program Folder"} : Log{});
  }
}

}  // namespace

}  // namespace keldo
