// The re-mapping command starts the system's own net.exe, minimised, with
// the command line as built. The tests install a recording stand-in as this
// throw-away prefix's system32\net.exe; a planted twin that says so in its
// record is put beside this program or into the working folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/windows/mapper/drive_mapper.h"
#include "windows/platform_fixture.h"

namespace keldo {

namespace {

std::wstring ProgramFolder() {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring path(self, length);
  return path.substr(0, path.rfind(L'\\') + 1);
}

void InstallSystemNetStub() {
  static bool installed = false;
  if (installed) return;
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::wstring target = std::wstring(system, length) + L"\\net.exe";
  // The prefix is a hard-linked clone of a template: unlink the file there,
  // never write through the link.
  DeleteFileW(target.c_str());
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"system32\\net.exe").c_str(), target.c_str(), TRUE))
      << GetLastError();
  // Without this Wine runs its built-in net whatever file lies there.
  SetUserText(L"Software\\Wine\\DllOverrides", L"net.exe", L"native");
  installed = true;
}

// The stub runs on its own; wait for its record, but never for ever.
std::string AwaitLines(const std::wstring& log, std::size_t lines) {
  std::string text;
  for (int i = 0; i < 200; ++i) {
    text = ReadBytes(log);
    if (text != "<missing>" &&
        static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) {
      break;
    }
    Sleep(50);
  }
  return text;
}

TEST(ProcessMapper, StartsNetUseMinimisedWithoutWaiting) {
  InstallSystemNetStub();
  const std::wstring log = NewTestFolder() + L"net.log";
  ASSERT_TRUE(SetEnvironmentVariableW(L"KELDO_NET_LOG", log.c_str()));
  ProcessMapper mapper;
  mapper.StartMapping(u"F", u"\\\\server\\data");
  EXPECT_EQ(AwaitLines(log, 1), "net use F: \\\\server\\data|show=2\n");
  mapper.StartMapping(u"H", u"\\\\server\\my data");
  EXPECT_EQ(AwaitLines(log, 2),
            "net use F: \\\\server\\data|show=2\n"
            "net use H: \"\\\\server\\my data\"|show=2\n");
  SetEnvironmentVariableW(L"KELDO_NET_LOG", nullptr);
}

// The stand-in takes its time and then moves the folder "prepared" of a new
// test folder to "drive_k" there, as a drive appearing; the environment it
// reads is set for the one test.
class SlowNet {
 public:
  explicit SlowNet(const wchar_t* delayMs) : folder_(NewTestFolder()) {
    InstallSystemNetStub();
    CreateDirectoryW((folder_ + L"prepared").c_str(), nullptr);
    SetEnvironmentVariableW(L"KELDO_NET_LOG", (folder_ + L"net.log").c_str());
    SetEnvironmentVariableW(L"KELDO_NET_DELAY_MS", delayMs);
    SetEnvironmentVariableW(L"KELDO_NET_MOVE_FROM", (folder_ + L"prepared").c_str());
    SetEnvironmentVariableW(L"KELDO_NET_MOVE_TO", Drive().c_str());
  }
  ~SlowNet() {
    for (const wchar_t* name :
         {L"KELDO_NET_DELAY_MS", L"KELDO_NET_MOVE_FROM", L"KELDO_NET_MOVE_TO", L"KELDO_NET_LOG"}) {
      SetEnvironmentVariableW(name, nullptr);
    }
  }
  SlowNet(const SlowNet&) = delete;
  SlowNet& operator=(const SlowNet&) = delete;

  std::wstring Drive() const { return folder_ + L"drive_k"; }
  std::string Log() const { return ReadBytes(folder_ + L"net.log"); }

 private:
  std::wstring folder_;
};

TEST(ProcessMapper, WaitsForEveryStartedCommandTogether) {
  const SlowNet slow(L"700");
  ProcessMapper mapper;
  mapper.WaitForStarted(std::chrono::seconds(30));  // nothing started: at once
  mapper.StartMapping(u"H", u"\\\\server\\other");
  mapper.StartMapping(u"K", u"\\\\server\\keldo");
  mapper.WaitForStarted(std::chrono::seconds(30));
  // Both commands ended: one of them moved the folder, the other found it
  // gone; the record holds both.
  EXPECT_TRUE(IsFolder(slow.Drive()));
  const std::string log = slow.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
}

TEST(ProcessMapper, LeavesACommandRunningAtTheBound) {
  const SlowNet slow(L"5000");
  ProcessMapper mapper;
  mapper.StartMapping(u"K", u"\\\\server\\keldo");
  mapper.WaitForStarted(std::chrono::milliseconds(200));
  EXPECT_FALSE(Exists(slow.Drive())) << "the wait outlasted its bound";
  // Not ended with the wait: the command goes on and finishes by itself.
  bool appeared = false;
  for (int i = 0; i < 400 && !appeared; ++i) {
    Sleep(50);
    appeared = IsFolder(slow.Drive());
  }
  EXPECT_TRUE(appeared);
}

// A copy of the planted twin for the time of one test, then gone.
class PlantedNet {
 public:
  explicit PlantedNet(const std::wstring& folder) : path_(folder + L"net.exe") {
    DeleteFileW(path_.c_str());
    planted_ = CopyFileW((ProgramFolder() + L"planted\\net.exe").c_str(), path_.c_str(), TRUE);
  }
  ~PlantedNet() { DeleteFileW(path_.c_str()); }
  PlantedNet(const PlantedNet&) = delete;
  PlantedNet& operator=(const PlantedNet&) = delete;
  bool Planted() const { return planted_ != FALSE; }

 private:
  std::wstring path_;
  BOOL planted_;
};

// Where a search without an application name would look before the system
// folder.
TEST(ProcessMapper, RunsNoNetPlantedBesideTheProgramOrInTheWorkingFolder) {
  InstallSystemNetStub();
  const struct {
    const char* name;
    bool besideTheProgram;
  } cases[] = {
      {"beside_the_program", true},
      {"in_the_working_folder", false},
  };
  for (const auto& c : cases) {
    const std::wstring working = NewTestFolder();
    const PlantedNet planted(c.besideTheProgram ? ProgramFolder() : working);
    ASSERT_TRUE(planted.Planted()) << c.name << ": " << GetLastError();
    wchar_t previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(working.c_str()));
    const std::wstring log = NewTestFolder() + L"net.log";
    ASSERT_TRUE(SetEnvironmentVariableW(L"KELDO_NET_LOG", log.c_str()));
    ProcessMapper mapper;
    mapper.StartMapping(u"F", u"\\\\server\\my data\\");
    EXPECT_EQ(AwaitLines(log, 1), "net use F: \"\\\\server\\my data\\\\\"|show=2\n") << c.name;
    SetEnvironmentVariableW(L"KELDO_NET_LOG", nullptr);
    SetCurrentDirectoryW(previous);
  }
}

}  // namespace

}  // namespace keldo
