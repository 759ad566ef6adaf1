#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/errors.h"
#include "platform/linux/files/file_system.h"
#include "platform/linux/files/file_tool.h"
#include "platform/linux/files/text_files.h"
#include "support/temp_prefix.h"

namespace keldo {

namespace {

class WineFilesTest : public ::testing::Test {
 protected:
  WineFilesTest() {
    prefix_.MakeFolder("drive_d/Keldo6/GENDATA");
    prefix_.Write("drive_d/Keldo6/GENDATA/GeneralKeldo6data.mdb", "db");
    prefix_.Write("drive_d/Keldo6/LATEST_PROGS/keldo63version.dat", "v6.3.218 10/02/2025\r\nmore");
    prefix_.Link("d:", "../drive_d");
  }

  TempPrefix prefix_;
  WinePaths paths_{prefix_.Prefix()};
  RegFile systemReg_{prefix_.Prefix().SystemReg(), kSystemRegRoot};
  WineFileSystem files_{paths_, systemReg_};
  AnsiCodePage codePage_{systemReg_};
  PosixTextFiles text_{paths_, codePage_};
  PrefixFileTool tool_{paths_};
};

std::string Describe(const std::vector<DriveEntry>& drives) {
  std::string out;
  for (const auto& d : drives) out += ToUtf8(d.letter) + std::to_string(d.type) + " ";
  return out;
}

TEST_F(WineFilesTest, DrivesAreTheLetterEntriesInOrderWithWineTypes) {
  prefix_.Link("z:", "/");
  prefix_.Link("F:", "../no-such-share");   // a share whose server is down
  prefix_.Link("g:", "../no-such-server");  // the same, but configured
  prefix_.Link("e:", "../drive_c");
  prefix_.Link("h:", "../drive_c");
  prefix_.Link("i:", "../drive_c");
  prefix_.Link("d::", "/dev/sdb1");  // a device entry, not a drive
  prefix_.Link("ab:", "../drive_c");
  prefix_.Link("1:", "../drive_c");
  prefix_.WriteSystemReg(
      "[Software\\\\Wine\\\\Drives] 1700000000\n\"e:\"=\"cdrom\"\n\"G:\"=\"network\"\n"
      "\"h:\"=\"floppy\"\n\"i:\"=\"RAMDISK\"\n\"z:\"=\"strange\"\n");
  EXPECT_EQ(Describe(files_.Drives()), "C2 D2 E4 F0 G3 H1 I5 Z2 ");
}

TEST_F(WineFilesTest, NoDosDevicesFolderIsAnError) {
  const std::string dosdevices = prefix_.Root() + "/dosdevices";
  ASSERT_EQ(::rename(dosdevices.c_str(), (dosdevices + ".gone").c_str()), 0);
  try {
    files_.Drives();
    FAIL() << "no error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.code(), ENOENT);
    EXPECT_NE(std::string(e.what()).find("failed: No such file or directory (2)"),
              std::string::npos)
        << e.what();
  }
}

TEST_F(WineFilesTest, WindowsPathsResolveCaseInsensitively) {
  const struct {
    const char16_t* path;
    bool isFile;
  } cases[] = {
      {u"D:\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb", true},
      {u"d:\\KELDO6\\gendata\\generalkeldo6DATA.MDB", true},
      {u"D:/Keldo6/GenData/GeneralKeldo6data.mdb", true},
      {u"D:\\Keldo6\\.\\LATEST_PROGS\\..\\GENDATA\\\\GeneralKeldo6data.mdb", true},
      {u"D:\\..\\..\\drive_d\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb", false},
      {u"D:\\Keldo6\\GENDATA", false},
      {u"D:\\Keldo6\\GENDATA\\", false},
      {u"D:\\Keldo6\\GENDATA\\missing.mdb", false},
      {u"E:\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb", false},
      {u"\\\\server\\share\\x", false},
      {u"Keldo6\\GENDATA\\GeneralKeldo6data.mdb", false},
      {u"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(files_.FileExists(c.path), c.isFile) << ToUtf8(c.path);
}

TEST_F(WineFilesTest, ReadsBytesAndDeletesThroughWindowsPaths) {
  auto file = text_.OpenForInput(u"D:\\keldo6\\latest_progs\\KELDO63VERSION.DAT");
  char buffer[64];
  const std::size_t n = file->Read(buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, n), "v6.3.218 10/02/2025\r\nmore");
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 0u);
  file.reset();
  EXPECT_EQ(text_.FromAnsi("Caf\xe9 \x80\x9f"), u"Caf\u00e9 \u20ac\u0178");

  text_.RemoveFile(u"D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat");
  EXPECT_FALSE(files_.FileExists(u"D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat"));
  const struct {
    const char16_t* path;
    int err;
  } failures[] = {{u"D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat", ENOENT},
                  {u"D:\\Keldo6\\GENDATA", EISDIR},
                  {u"Q:\\x", ENOENT}};
  for (const auto& f : failures) {
    try {
      text_.OpenForInput(f.path);
      ADD_FAILURE() << "opened " << ToUtf8(f.path);
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.code(), f.err) << e.what();
    }
    EXPECT_THROW(text_.RemoveFile(f.path), RunTimeError);
  }
}

TEST_F(WineFilesTest, OpeningAFifoNeitherBlocksNorReads) {
  ASSERT_EQ(::mkfifo((prefix_.Root() + "/drive_d/Keldo6/pipe.dat").c_str(), 0600), 0);
  EXPECT_FALSE(files_.FileExists(u"D:\\Keldo6\\pipe.dat"));
  EXPECT_THROW(text_.OpenForInput(u"D:\\Keldo6\\pipe.dat"), RunTimeError);
}

TEST_F(WineFilesTest, EnsureFolderMakesMissingFoldersUnderExistingOnes) {
  EXPECT_NE(tool_.EnsureFolder(u"D:\\KELDO6\\Latest_Progs\\"), 0);
  EXPECT_NE(tool_.EnsureFolder(u"D:\\keldo6\\New\\Deeper\\"), 0);
  struct stat st {};
  EXPECT_EQ(::stat((prefix_.Root() + "/drive_d/Keldo6/New/Deeper").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(::stat((prefix_.Root() + "/drive_d/KELDO6").c_str(), &st), -1);

  prefix_.Write("drive_d/Blocker", "a file where a folder should be");
  EXPECT_EQ(tool_.EnsureFolder(u"D:\\Blocker\\LATEST_PROGS\\"), 0);
  EXPECT_EQ(tool_.EnsureFolder(u"D:\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb\\"), 0);
  EXPECT_EQ(tool_.EnsureFolder(u"Q:\\Keldo6\\"), 0);
  prefix_.Link("f:", "../no-such-share");
  EXPECT_EQ(tool_.EnsureFolder(u"F:\\Keldo6\\LATEST_PROGS\\"), 0);
}

}  // namespace

}  // namespace keldo
