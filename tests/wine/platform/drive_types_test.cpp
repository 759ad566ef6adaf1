// Drive types as Wine reports them from HKLM\Software\Wine\Drives, for the
// drives that run-wine-suite.sh lays out in this prefix: D: hd, E: cdrom,
// F: network, G: floppy, and H: a network drive whose target is gone.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/windows/files/file_system.h"

namespace keldo {

namespace {

bool LaidOut() {
  wchar_t value[8];
  return GetEnvironmentVariableW(L"KELDO_TEST_DRIVES", value, 8) != 0;
}

TEST(WineDrives, TypesFollowTheFileSystemServicesCodes) {
  if (!LaidOut()) GTEST_SKIP() << "run by tests/wine/run-wine-suite.sh";
  DriveFiles files;
  const auto drives = files.Drives();
  auto typeOf = [&](const Text& letter) {
    for (const auto& drive : drives) {
      if (drive.letter == letter) return drive.type;
    }
    return -1;
  };
  const struct {
    const char16_t* letter;
    std::int32_t type;
  } cases[] = {
      {u"C", kDriveFixed},     {u"D", kDriveFixed},   {u"E", kDriveCdRom}, {u"F", kDriveNetwork},
      {u"G", kDriveRemovable}, {u"H", kDriveUnknown},  // no root directory, whatever its type value
                                                       // says
  };
  for (const auto& c : cases) EXPECT_EQ(typeOf(c.letter), c.type) << ToUtf8(c.letter);
}

TEST(WineDrives, TheFileTestAnswersFalseForADeadDrive) {
  if (!LaidOut()) GTEST_SKIP() << "run by tests/wine/run-wine-suite.sh";
  DriveFiles files;
  EXPECT_TRUE(files.FileExists(u"F:\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb"));
  EXPECT_TRUE(files.FileExists(u"E:\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb"));
  EXPECT_FALSE(files.FileExists(u"F:\\Keldo6\\GENDATA"));
  EXPECT_FALSE(files.FileExists(u"H:\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb"));
}

}  // namespace

}  // namespace keldo
