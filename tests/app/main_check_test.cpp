// Start-up, the two buttons, the message sinks, and errors that no step of
// the run traps.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/case_name.h"
#include "support/rig.h"

namespace keldo {

namespace {

using Log = std::vector<std::string>;

TEST(StartUp, ShowsTheDesignCaptionsAndMakesTheServicesOnce) {
  auto rig = Rig::Ordinary();
  auto window = Main(rig->ports, kWebsite);
  EXPECT_EQ(rig->view.log, Log{"show"});
  EXPECT_EQ(window->State(), RunState::Idle);
  EXPECT_EQ(window->Check().FileSys, &rig->fileSystem);
  EXPECT_NE(window->Check().FileAccess, nullptr);
  EXPECT_EQ(rig->web.toolsMade, 1);
  EXPECT_EQ(window->Check().DebugOn, 0);
  for (const auto& entry : kControls) EXPECT_EQ(rig->view.Caption(entry.id), entry.designCaption);
}

TEST(ExitButton, EndsAtOnceBeforeAnyRunAndStartIsDeadAfterwards) {
  auto rig = Rig::Ordinary();
  MainCheck& window = rig->Start();
  window.cmdExit_Click();
  EXPECT_EQ(rig->view.log, Log{"end"});
  EXPECT_EQ(window.State(), RunState::Ended);
  EXPECT_TRUE(rig->PressStart().empty());
}

TEST(StartButton, SecondPressRepeatsEverythingWithTheSameServices) {
  auto rig = Rig::Ordinary();
  MainCheck& window = rig->Start();
  const FileTool* tool = window.Check().FileAccess.get();
  const Log first = rig->PressStart();
  const Log second = rig->PressStart();
  EXPECT_EQ(second, first);
  EXPECT_EQ(window.Check().FileAccess.get(), tool);
  EXPECT_EQ(window.Check().FileSys, &rig->fileSystem);
  EXPECT_EQ(rig->web.toolsMade, 1);
  EXPECT_EQ(rig->fileSystem.drivesCalls, 2);
  EXPECT_EQ(rig->web.fetches.size(), 2u);
  EXPECT_EQ(rig->web.submits.size(), 2u);
  EXPECT_EQ(rig->files.deleted.size(), 2u);
  EXPECT_EQ(window.LastOutcome(), RunOutcome::Completed);
}

struct FaultCase {
  const char* name;
  std::function<void(Rig&, bool)> setFault;
  const char* box;
};

const FaultCase kFaults[] = {
    {"DriveListFails", [](Rig& r, bool on) { r.fileSystem.throwOnDrives = on; },
     "box: Check failed: Disk not ready"},
    {"EnsureFolderFails", [](Rig& r, bool on) { r.web.throwOnEnsure = on; },
     "box: Check failed: Access is denied"},
    {"SubmitFormFails", [](Rig& r, bool on) { r.web.throwOnSubmit = on; },
     "box: Check failed: Unspecified error"},
};

class UntrappedError : public testing::TestWithParam<FaultCase> {};

TEST_P(UntrappedError, EndsOnlyTheRunAndLeavesTheWindowUsable) {
  auto rig = Rig::Ordinary();
  MainCheck& window = rig->Start();
  GetParam().setFault(*rig, true);
  const Log log = rig->PressStart();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), GetParam().box);
  EXPECT_EQ(rig->view.Boxes().size(), 1u);
  EXPECT_EQ(rig->view.ended, 0);
  EXPECT_EQ(window.State(), RunState::Idle);
  EXPECT_EQ(window.LastOutcome(), RunOutcome::Failed);
  EXPECT_EQ(rig->view.pointer, kPointerDefault);
  EXPECT_EQ(rig->view.screenPointer, kPointerDefault);

  GetParam().setFault(*rig, false);
  const Log again = rig->PressStart();
  EXPECT_EQ(again.back(), "lblServerVersion: Version in Latest Progs folder: v6.3.210 01/11/2024");
  EXPECT_EQ(window.LastOutcome(), RunOutcome::Completed);
  EXPECT_TRUE(window.LastError().empty());
  window.cmdExit_Click();
  EXPECT_EQ(rig->view.ended, 1);
  EXPECT_EQ(window.State(), RunState::Ended);
}

INSTANTIATE_TEST_SUITE_P(Faults, UntrappedError, testing::ValuesIn(kFaults), CaseName());

TEST(MessageSinks, DebugMsgShowsOnlyWhileDebugOnIsMinusOne) {
  const struct {
    std::int16_t debugOn;
    const char16_t* text;
    Log expected;
  } cases[] = {
      {0, u"hidden", {}},    {1, u"hidden", {}},
      {-2, u"hidden", {}},   {-1, u"shown ü", {"diag: shown ü"}},
      {-1, u"", {"diag: "}},
  };
  for (const auto& c : cases) {
    auto rig = Rig::Ordinary();
    MainCheck& window = rig->Start();
    window.SetDebugOn(c.debugOn);
    window.DebugMsg(c.text);
    window.ShowProgress(u"Checking for updates", ProgressFlag::On);
    window.ShowProgress(u"anything", ProgressFlag::Off);
    EXPECT_EQ(rig->view.log, c.expected) << c.debugOn;
  }
}

}  // namespace

}  // namespace keldo
