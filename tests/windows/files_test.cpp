// Drives, the file test, folders, first lines and replaced downloads on a
// real (Wine) file system.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/errors.h"
#include "base/first_line.h"
#include "platform/windows/files/file_system.h"
#include "platform/windows/files/file_tool.h"
#include "platform/windows/files/text_files.h"
#include "platform/windows/web/file_replace.h"
#include "windows/platform_fixture.h"

namespace keldo {

namespace {

TEST(DriveFiles, ListsTheDrivesInLetterOrderWithTheirTypes) {
  DriveFiles files;
  const auto drives = files.Drives();
  ASSERT_FALSE(drives.empty());
  EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end(),
                             [](const auto& a, const auto& b) { return a.letter < b.letter; }));
  auto typeOf = [&](const Text& letter) {
    for (const auto& drive : drives) {
      if (drive.letter == letter) return drive.type;
    }
    return -1;
  };
  EXPECT_EQ(typeOf(u"C"), kDriveFixed);
  EXPECT_EQ(typeOf(u"Z"), kDriveFixed);  // Wine's view of the host's root
}

TEST(DriveFiles, AFileIsAFileAndNothingElse) {
  const std::wstring folder = NewTestFolder();
  WriteBytes(folder + L"GeneralKeldo6data.mdb", "db");
  CreateDirectoryW((folder + L"SupportExpiry.dat").c_str(), nullptr);
  DriveFiles files;
  const std::pair<std::wstring, bool> cases[] = {
      {folder + L"GeneralKeldo6data.mdb", true},
      {folder + L"GENERALKELDO6DATA.MDB", true},  // the file system ignores case
      {folder + L"SupportExpiry.dat", false},     // a folder of that name
      {folder + L"missing.dat", false},
      {folder + L"missing\\deeper.dat", false},
      {L"", false},
  };
  for (const auto& [path, exists] : cases) {
    EXPECT_EQ(files.FileExists(AsText(path)), exists) << ToUtf8(AsText(path));
  }
  // A drive letter that does not exist answers false, without a box.
  for (wchar_t letter = L'Y'; letter > L'D'; --letter) {
    if ((GetLogicalDrives() & (1u << (letter - L'A'))) == 0) {
      EXPECT_FALSE(
          files.FileExists(Text(1, letter) + u":\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb"));
      break;
    }
  }
}

TEST(DriveTypeCode, FollowsTheFileSystemServicesCodes) {
  // GetDriveTypeW: unknown, no root dir, removable, fixed, remote, CD-ROM, RAM disk.
  const int expected[] = {0, 0, 1, 2, 3, 4, 5, 0};
  for (unsigned type = 0; type < std::size(expected); ++type) {
    EXPECT_EQ(DriveTypeCode(type), expected[type]) << "GetDriveTypeW answer " << type;
  }
}

TEST(FolderTool, MakesMissingParentsAndReportsWhatItCannotMake) {
  const std::wstring folder = NewTestFolder();
  FolderTool tool;
  EXPECT_EQ(tool.EnsureFolder(AsText(folder + L"Keldo6\\LATEST_PROGS\\")), 1);
  EXPECT_TRUE(IsFolder(folder + L"Keldo6\\LATEST_PROGS"));
  EXPECT_EQ(tool.EnsureFolder(AsText(folder + L"Keldo6\\LATEST_PROGS\\")), 1);  // found

  WriteBytes(folder + L"file", "x");
  EXPECT_EQ(tool.EnsureFolder(AsText(folder + L"file\\sub\\")), 0);
  EXPECT_EQ(tool.EnsureFolder(AsText(folder + L"bad|name\\")), 0);
}

TEST(WinTextFiles, FirstLinesAreInTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP();
  const std::wstring path = NewTestFolder() + L"SupportExpiry.dat";
  WriteBytes(path, "Caf\xe9 \x80 5 \x93q\x94\r\nnext line\r\n");
  WinTextFiles files;
  EXPECT_EQ(ReadFirstLine(files, AsText(path)), u"Caf\u00e9 \u20ac 5 \u201cq\u201d");
}

TEST(WinTextFiles, FailuresCarryTheSystemsErrorCode) {
  const std::wstring folder = NewTestFolder();
  WinTextFiles files;
  try {
    files.OpenForInput(AsText(folder + L"missing.dat"));
    FAIL() << "opened a missing file";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.code(), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(std::string(error.what()).find("missing.dat"), std::string::npos) << error.what();
  }
  EXPECT_THROW(files.RemoveFile(AsText(folder + L"missing.dat")), RunTimeError);

  // A file that another program holds against all sharing cannot be read.
  const std::wstring locked = folder + L"keldo63version.dat";
  WriteBytes(locked, "v6.3.215 01/12/2024\r\n");
  const HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_THROW(ReadFirstLine(files, AsText(locked)), RunTimeError);
  CloseHandle(holder);
  EXPECT_EQ(ReadFirstLine(files, AsText(locked)), u"v6.3.215 01/12/2024");

  files.RemoveFile(AsText(locked));
  EXPECT_FALSE(Exists(locked));
}

TEST(ReplaceFileWith, ReplacesOnlyWhenTheWholeFileIsWritten) {
  const std::wstring folder = NewTestFolder();
  const std::wstring target = folder + L"temp_vers.dat";
  WriteBytes(target, "old contents");
  const std::string written = ReplaceFileWith(AsText(target), "v6.3.215 01/12/2024\r\n");
  ASSERT_TRUE(written.empty()) << written;
  EXPECT_EQ(ReadBytes(target), "v6.3.215 01/12/2024\r\n");
  // Nothing but the target is left in the folder.
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  int entries = 0;
  do {
    if (found.cFileName[0] != L'.') ++entries;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_EQ(entries, 1);

  const std::string failure = ReplaceFileWith(AsText(folder + L"missing\\temp_vers.dat"), "x");
  EXPECT_TRUE(failure.ends_with(" (3)")) << failure;
}

}  // namespace

}  // namespace keldo
