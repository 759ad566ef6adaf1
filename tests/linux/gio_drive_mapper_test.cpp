#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "base/errors.h"
#include "platform/linux/mapper/drive_mapper.h"
#include "support/temp_prefix.h"

namespace keldo {

namespace {

TEST(SmbUrl, EachSegmentIsPercentEncoded) {
  const struct {
    const char16_t* remote;
    const char* url;
  } cases[] = {
      {u"\\\\server\\share", "smb://server/share"},
      {u"\\\\server\\my data\\sub", "smb://server/my%20data/sub"},
      {u"\\\\srv\\a&b;c$'\"`|\\%2F", "smb://srv/a%26b%3Bc%24%27%22%60%7C/%252F"},
      {u"\\\\s\\Caf\u00e9/x", "smb://s/Caf%C3%A9%2Fx"},
      {u"\\\\server\\share\\", "smb://server/share"},
      {u"\\\\", ""},
      {u"\\server\\share", ""},
      {u"D:\\share", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SmbUrl(c.remote), c.url) << ToUtf8(c.remote);
}

class GioDriveMapperTest : public ::testing::Test {
 protected:
  GioDriveMapperTest() {
    // Records its arguments and its process id, one per line.
    prefix_.Write("fake-gio",
                  "#!/bin/sh\nprintf '%s\\n' \"$$\" \"$@\" > \"$0.args.tmp\"\nmv \"$0.args.tmp\" "
                  "\"$0.args\"\n");
    ::chmod(program_.c_str(), 0755);
  }

  // The recorder's lines once it has finished; bounded, never a hang.
  std::vector<std::string> Recorded() {
    for (int i = 0; i < 500; ++i) {
      std::ifstream in(program_ + ".args");
      if (in) {
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
  }

  TempPrefix prefix_;
  std::string program_ = prefix_.Root() + "/fake-gio";
};

bool IsZombieOrGone(pid_t pid) {
  const std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
  return stat.empty() || stat.find(") Z ") != std::string::npos;
}

TEST_F(GioDriveMapperTest, StartsGioMountWithoutAShellAndLeavesNoZombie) {
  pid_t pid = 0;
  {
    GioDriveMapper mapper(program_);
    mapper.StartMapping(u"F", u"\\\\server\\my data; rm -rf ~");
    const auto lines = Recorded();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "mount");
    EXPECT_EQ(lines[2], "smb://server/my%20data%3B%20rm%20-rf%20~");
    pid = std::stoi(lines[0]);
    for (int i = 0; i < 500 && !IsZombieOrGone(pid); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  EXPECT_TRUE(ReadAll("/proc/" + std::to_string(pid) + "/stat").empty()) << "left a zombie";
}

TEST_F(GioDriveMapperTest, AMissingProgramOrANonUncPathIsAnError) {
  const std::string program = prefix_.Root() + "/no-such-gio";
  GioDriveMapper missing(program);
  try {
    missing.StartMapping(u"F", u"\\\\server\\my share");
    ADD_FAILURE() << "started";
  } catch (const RunTimeError& e) {
    // The whole command and the system's reason.
    EXPECT_EQ(std::string(e.what()), "Starting " + program +
                                         " mount smb://server/my%20share failed: No such file or "
                                         "directory (2)");
  }
  GioDriveMapper mapper(program_);
  EXPECT_THROW(mapper.StartMapping(u"F", u"D:\\share"), RunTimeError);
  missing.WaitForStarted(std::chrono::seconds(30));  // nothing started: returns at once
}

// A mount program that records its id in <program>.<share>.pid and runs
// as many seconds as the share's name says.
class TimedMountTest : public GioDriveMapperTest {
 protected:
  TimedMountTest() {
    prefix_.Write(
        "fake-gio",
        "#!/bin/sh\nshare=${2##*/}\necho $$ > \"$0.$share.pid\"\nexec sleep \"$share\"\n");
  }
  // The child's id, once it has written it; bounded, never a hang.
  pid_t Pid(const std::string& share) {
    for (int i = 0; i < 500; ++i) {
      const std::string text = ReadAll(program_ + "." + share + ".pid");
      if (!text.empty() && text.back() == '\n') return std::stoi(text);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
  }
};

bool IsRunning(pid_t pid) { return !IsZombieOrGone(pid); }

// Only its parent can reap a child: gone means ended and reaped by us.
bool IsGone(pid_t pid) { return ReadAll("/proc/" + std::to_string(pid) + "/stat").empty(); }

TEST_F(TimedMountTest, WaitsForEveryStartedCommandTogetherAndReapsThem) {
  GioDriveMapper mapper(program_);
  mapper.StartMapping(u"F", u"\\\\server\\0.6");
  mapper.StartMapping(u"H", u"\\\\server\\0.3");
  const pid_t f = Pid("0.6"), h = Pid("0.3");
  ASSERT_GT(f, 0);
  ASSERT_GT(h, 0);
  mapper.WaitForStarted(std::chrono::seconds(30));
  // Both ended, and reaped by the wait itself: no zombie left for later.
  EXPECT_TRUE(IsGone(f));
  EXPECT_TRUE(IsGone(h));
}

TEST_F(TimedMountTest, LeavesACommandRunningAtTheBoundAndReapsItOnceEnded) {
  pid_t endless = 0;
  {
    GioDriveMapper mapper(program_);
    mapper.StartMapping(u"F", u"\\\\server\\600");
    endless = Pid("600");
    ASSERT_GT(endless, 0);
    mapper.WaitForStarted(std::chrono::milliseconds(200));
    EXPECT_TRUE(IsRunning(endless)) << "the command was ended";
    // A later wait is for what was started since; the endless one is no
    // longer awaited.
    mapper.StartMapping(u"H", u"\\\\server\\0.1");
    const pid_t quick = Pid("0.1");
    mapper.WaitForStarted(std::chrono::seconds(30));
    EXPECT_TRUE(IsGone(quick));
    EXPECT_TRUE(IsRunning(endless));
    ::kill(endless, SIGTERM);
    for (int i = 0; i < 500 && IsRunning(endless); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  EXPECT_TRUE(IsGone(endless)) << "left a zombie";
}

}  // namespace

}  // namespace keldo
