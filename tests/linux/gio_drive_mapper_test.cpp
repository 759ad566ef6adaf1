#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "base/errors.h"
#include "platform/linux/gio_drive_mapper.h"
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
  GioDriveMapper missing(prefix_.Root() + "/no-such-gio");
  EXPECT_THROW(missing.StartMapping(u"F", u"\\\\server\\share"), RunTimeError);
  GioDriveMapper mapper(program_);
  EXPECT_THROW(mapper.StartMapping(u"F", u"D:\\share"), RunTimeError);
}

}  // namespace

}  // namespace keldo
