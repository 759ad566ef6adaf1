// The database locator: which drives are searched, the one reconnection
// between two passes, its diagnostic lines and the busy pointer.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checks/check_run.h"
#include "support/case_name.h"
#include "support/rig.h"

namespace keldo {

namespace {

using Log = std::vector<std::string>;
const Text kPath = u":\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb";

struct LocatorCase {
  const char* name;
  std::vector<std::vector<DriveEntry>> passes;
  std::vector<const char16_t*> dbOn;  // letters holding the database
  bool rememberF;                     // Network\F remembers \\server\data
  const char16_t* found;
  Log log;
  int drivesCalls;
  bool startFails = false;  // F's re-mapping cannot be started
};

const std::string kLooking = "diag: Looking for Keldo DB on drive: ";
const std::string kNotFound =
    "diag: :\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb not found on any drive";
// The second pass waits for the one started re-mapping, at most 30 s.
const std::string kWaitForF = "wait: 30000 ms for 1";

const LocatorCase kCases[] = {
    {"FirstHitInLetterOrderWins",
     {{{u"C", kDriveFixed}, {u"D", kDriveFixed}, {u"F", kDriveNetwork}}},
     {u"D", u"F"},
     true,
     u"D",
     {"pointer: 11", kLooking + "C", kLooking + "D", "diag: Keldo Data found on Drive: D",
      "pointer: 0"},
     1},
    {"OnlyFixedAndNetworkDrivesAreSearched",
     {{{u"A", kDriveRemovable},
       {u"B", kDriveUnknown},
       {u"E", kDriveCdRom},
       {u"R", kDriveRamDisk},
       {u"Z", 9}}},
     {u"A", u"B", u"E", u"R", u"Z"},
     false,
     u"",
     {"pointer: 11", kNotFound, "pointer: 0"},
     2},
    {"NothingAnywhereMakesTwoEqualPasses",
     {{{u"C", kDriveFixed}}},
     {},
     false,
     u"",
     {"pointer: 11", kLooking + "C", kLooking + "C", kNotFound, "pointer: 0"},
     2},
    {"ServerDownIsAPlainMiss",
     {{{u"C", kDriveFixed}, {u"F", kDriveNetwork}}},
     {},
     true,
     u"",
     {"pointer: 11", kLooking + "C", kLooking + "F", kWaitForF, kLooking + "C", kLooking + "F",
      kNotFound, "pointer: 0"},
     2},
    {"DriveMappedAgainIsFoundInTheSecondPass",
     {{{u"C", kDriveFixed}}, {{u"C", kDriveFixed}, {u"F", kDriveNetwork}}},
     {u"F"},
     true,
     u"F",
     {"pointer: 11", kLooking + "C", kWaitForF, kLooking + "C", kLooking + "F",
      "diag: Keldo Data found on Drive: F", "pointer: 0"},
     2},
    {"MappingNotFinishedInTime",
     {{{u"C", kDriveFixed}}},
     {u"F"},
     true,
     u"",
     {"pointer: 11", kLooking + "C", kWaitForF, kLooking + "C", kNotFound, "pointer: 0"},
     2},
    // Nothing started, nothing to wait for; the line says why.
    {"StartFailsSoNothingIsAwaited",
     {{{u"C", kDriveFixed}}},
     {u"F"},
     true,
     u"",
     {"pointer: 11", kLooking + "C",
      "diag: Starting net use F: \\\\server\\data failed: The system cannot find the file "
      "specified. (2)",
      kLooking + "C", kNotFound, "pointer: 0"},
     2,
     true},
};

class Locator : public testing::TestWithParam<LocatorCase> {};

TEST_P(Locator, SearchesAsExpected) {
  const LocatorCase& c = GetParam();
  auto rig = Rig::Bare();
  rig->fileSystem.passes = c.passes;
  for (const char16_t* letter : c.dbOn) rig->AddFile(letter + kPath, "");
  if (c.rememberF) rig->registry.SetText("Network\\F", "\\\\server\\data");
  if (c.startFails) rig->mapper.throwFor = {u"F"};
  MainCheck& window = rig->Start();
  window.SetDebugOn(-1);
  CheckState state;
  PrepareCheckState(state, rig->ports);

  EXPECT_EQ(CheckRun(rig->ports, kWebsite, state, window).LocateDatabase(kPath), c.found);
  EXPECT_EQ(rig->view.log, c.log);
  EXPECT_EQ(rig->fileSystem.drivesCalls, c.drivesCalls);
  // Reconnection happens exactly when the first pass misses.
  const bool reconnected = !rig->registry.calls.empty();
  EXPECT_EQ(reconnected, c.drivesCalls == 2);
  const bool started = reconnected && c.rememberF && !c.startFails;
  EXPECT_EQ(rig->mapper.started.size(), started ? 1u : 0u);
  // Awaited exactly when something was started.
  EXPECT_EQ(rig->mapper.waits.size(), started ? 1u : 0u);
  // A drive is tested exactly when it is announced: skipped types never,
  // and nothing after the first hit.
  std::size_t announced = 0;
  for (const auto& line : c.log) announced += line.rfind(kLooking, 0) == 0;
  EXPECT_EQ(rig->fileSystem.tested.size(), announced);
}

INSTANTIATE_TEST_SUITE_P(Cases, Locator, testing::ValuesIn(kCases), CaseName());

}  // namespace

}  // namespace keldo
