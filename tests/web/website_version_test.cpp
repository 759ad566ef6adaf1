// The website's version file: its address, the temporary file, and every
// way the download can fail.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/first_line.h"
#include "base/website_paths.h"
#include "support/case_name.h"
#include "support/rig.h"
#include "web/website_version.h"

namespace keldo {

namespace {

using Log = std::vector<std::string>;
const Text kTemp = Text(kLatestOnD) + u"temp_vers.dat";

std::unique_ptr<Rig> ReadyRig() {
  auto rig = Rig::Ordinary();
  MainCheck& window = rig->Start();
  window.SetDebugOn(-1);
  rig->AddFile(kTemp, "stale\r\n");  // left over by an earlier failed run
  return rig;
}

// As the expiry-and-version stage asks for it, diagnostics to the window.
Text FetchWebVersion(Rig& rig) {
  return GetWebVersion(rig.web, rig.files, rig.clock, Text(kWebsite) + kDownloadFolderPath,
                       u"keldo63version.dat", kLatestOnD, *rig.window);
}

struct FetchCase {
  const char* name;
  std::int32_t fetchResult;
  std::string body;
  bool failDelete;
  const char16_t* result;
  std::optional<std::string> tempAfter;  // nullopt: deleted
  Log diagnostics;
};

const std::string kChecking = "diag: Checking website version";
const std::string kFailure = "diag: 12029 A connection with the server could not be established";

constexpr std::int32_t kThrow = -1;  // FetchToFile fails with a run-time error

const FetchCase kFetches[] = {
    {"FirstLineThenDeleted",
     1,
     "v6.3.215 01/12/2024\r\nmore\r\n",
     false,
     u"v6.3.215 01/12/2024",
     std::nullopt,
     {kChecking}},
    {"NoLineEnd",
     1,
     "v6.3.215 01/12/2024",
     false,
     u"v6.3.215 01/12/2024",
     std::nullopt,
     {kChecking}},
    {"ZeroBytesKept",
     1,
     "",
     false,
     u"error",
     "",
     {kChecking, "diag: Input past end of file: D:\\Keldo6\\LATEST_PROGS\\temp_vers.dat"}},
    {"OverlongLineKept",
     1,
     std::string(kMaxFirstLineBytes + 1, 'v'),
     false,
     u"error",
     std::string(kMaxFirstLineBytes + 1, 'v'),
     {kChecking,
      "diag: The first line of D:\\Keldo6\\LATEST_PROGS\\temp_vers.dat is longer than "
      "65536 bytes"}},
    {"FetchZero", 0, "", false, u"error", "stale\r\n", {kChecking, kFailure}},
    {"FetchTwo", 2, "", false, u"error", "stale\r\n", {kChecking, kFailure}},
    {"DeleteFails",
     1,
     "v6.3.215 x\r\n",
     true,
     u"error",
     "v6.3.215 x\r\n",
     {kChecking, "diag: Path/File access error"}},
    {"ComponentFault",
     kThrow,
     "",
     false,
     u"error",
     "stale\r\n",
     {kChecking, "diag: Unspecified error"}},
};

class WebVersion : public testing::TestWithParam<FetchCase> {};

TEST_P(WebVersion, ReadsTheDownloadOnce) {
  const FetchCase& c = GetParam();
  auto rig = ReadyRig();
  rig->web.fetchResult = c.fetchResult;
  rig->web.throwOnFetch = c.fetchResult == kThrow;
  rig->web.fetchBody = c.body;
  if (c.failDelete) rig->files.failDelete = {kTemp};
  EXPECT_EQ(FetchWebVersion(*rig), c.result);
  EXPECT_EQ(rig->view.log, c.diagnostics);
  const auto temp = rig->files.contents.find(kTemp);
  EXPECT_EQ(temp == rig->files.contents.end() ? std::nullopt : std::optional(temp->second),
            c.tempAfter);
  EXPECT_EQ(rig->files.openHandles, 0);
  EXPECT_EQ(rig->web.clientsMade, 1);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, WebVersion, testing::ValuesIn(kFetches), CaseName());

TEST(WebVersion, AddressCarriesOneTimeStampTakenBeforeTheDownload) {
  auto rig = ReadyRig();
  int clockCallsAtFetch = -1;
  rig->web.onFetch = [&] { clockCallsAtFetch = rig->clock.calls; };
  FetchWebVersion(*rig);
  FetchWebVersion(*rig);  // same second: same address
  rig->clock.now.second = 16;
  FetchWebVersion(*rig);

  EXPECT_EQ(clockCallsAtFetch, 3);
  EXPECT_EQ(rig->clock.calls, 3);
  const Text address = Text(kWebsite) + u"" KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME u"?";
  const std::vector<std::pair<Text, Text>> expected = {{address + u"20241201093015", kTemp},
                                                       {address + u"20241201093015", kTemp},
                                                       {address + u"20241201093016", kTemp}};
  EXPECT_EQ(rig->web.fetches, expected);
}

}  // namespace

}  // namespace keldo
