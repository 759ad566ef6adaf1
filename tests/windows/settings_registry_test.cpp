// The settings store and the remembered network mappings, read back from a
// real (Wine) registry through the wide and the ANSI calls.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <utility>
#include <vector>

#include "base/errors.h"
#include "local/reconnect.h"
#include "platform/windows/registry/network_registry.h"
#include "platform/windows/registry/settings_store.h"
#include "platform/windows/win_error.h"
#include "support/case_name.h"
#include "support/fake_local.h"
#include "support/long_setting_cases.h"
#include "windows/platform_fixture.h"

namespace keldo {

namespace {

const std::wstring kSection = L"Software\\VB and VBA Program Settings\\Keldo6\\ThisPC";

TEST(RegistrySettings, ReadsTextValuesAndNothingElse) {
  DeleteUserKey(L"Software\\VB and VBA Program Settings\\Keldo6");
  SetUserText(kSection, L"Network", L"Yes");
  SetUserText(kSection, L"PkgNbr", L"K6-00042 M\u00fcller & Co ");
  SetUserText(kSection, L"AutoUpdate", L"");
  const DWORD number = 7;
  SetUserValue(kSection, L"VerNbr", REG_DWORD, &number, sizeof number);
  SetUserValue(kSection, L"Binary", REG_BINARY, "ab", 2);

  RegistrySettings settings;
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"Network", u"Yes"}, {u"PkgNbr", u"K6-00042 M\u00fcller & Co "},
      {u"AutoUpdate", u""}, {u"VerNbr", u""},  // a number is not a text
      {u"Binary", u""},     {u"Missing", u""},
  };
  for (const auto& [key, value] : cases) {
    EXPECT_EQ(settings.GetSetting(u"Keldo6", u"ThisPC", key), value) << ToUtf8(key);
  }
  EXPECT_EQ(settings.GetSetting(u"Keldo6", u"OtherSection", u"Network"), u"");
  EXPECT_EQ(settings.GetSetting(u"Keldo7", u"ThisPC", u"Network"), u"");
  EXPECT_EQ(settings.GetSetting(u"Keldo6", u"", u"Network"), u"");
}

// A key that is there but denies reading its values is a failure with the
// platform's code and text, never settings that are missing.
TEST(RegistrySettings, AKeyThatMayNotBeReadIsAFailure) {
  SetUserText(kSection, L"Network", L"Yes");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSection.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
  const auto setDacl = [key](const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr);
    const LSTATUS set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    return set;
  };
  ASSERT_EQ(setDacl(L"D:(D;;0x1;;;WD)(A;;KA;;;WD)"), ERROR_SUCCESS);  // no KEY_QUERY_VALUE
  try {
    RegistrySettings().GetSetting(u"Keldo6", u"ThisPC", u"Network");
    ADD_FAILURE() << "read as a setting";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.code(), ERROR_ACCESS_DENIED);
    EXPECT_STREQ(error.what(), ("Opening HKEY_CURRENT_USER\\" + ToUtf8(AsText(kSection)) +
                                " failed: " + ToUtf8(ErrorText(ERROR_ACCESS_DENIED)) + " (5)")
                                   .c_str());
  }
  EXPECT_EQ(setDacl(L"D:(A;;KA;;;WD)"), ERROR_SUCCESS);
  RegCloseKey(key);
}

class LongSettings : public ::testing::TestWithParam<LongSettingCase> {};

TEST_P(LongSettings, ReadAsMissingPastSixtyFourKibibytes) {
  DeleteUserKey(L"Software\\VB and VBA Program Settings\\Keldo6");
  const Text text = LongSettingText(GetParam());
  SetUserText(kSection, L"AutoUpdate", L"No");
  SetUserText(kSection, L"PkgNbr", std::wstring(text.begin(), text.end()));
  RegistrySettings settings;
  const Text read = settings.GetSetting(u"Keldo6", u"ThisPC", u"PkgNbr");
  EXPECT_EQ(read.size(), GetParam().read ? text.size() : 0u);
  EXPECT_TRUE(read == (GetParam().read ? text : Text()));
  EXPECT_EQ(settings.GetSetting(u"Keldo6", u"ThisPC", u"AutoUpdate"), u"No");
}

INSTANTIATE_TEST_SUITE_P(Table, LongSettings, ::testing::ValuesIn(kLongSettingCases), CaseName());

TEST(AnsiRegistry, NoRememberedMappingsStartNothing) {
  DeleteUserKey(L"Network");
  AnsiRegistry registry;
  FakeMapper mapper;
  RecordedDebug debug;
  ReconnectDrives(registry, mapper, debug);
  EXPECT_TRUE(mapper.started.empty());
  EXPECT_EQ(GetRemotePath(registry, u"F"), u"nothing");
}

TEST(AnsiRegistry, RemembersMappingsInLetterOrder) {
  DeleteUserKey(L"Network");
  SetUserText(L"Network\\H", L"RemotePath", L"\\\\server\\my data");
  SetUserText(L"Network\\F", L"RemotePath", L"\\\\server\\data");
  SetUserText(L"Network\\G", L"RemotePath", L"C:\\not a share");
  SetUserText(L"Network\\J", L"RemotePath", L"");
  SetUserText(L"Network\\K", L"Other", L"\\\\server\\other");
  SetUserText(L"Network\\M", L"RemotePath", L"\\\\server\\B\u00fcro");
  SetUserValue(L"Network\\P", L"RemotePath", REG_BINARY, "\\\\srv\\bin", 9);

  AnsiRegistry registry;
  FakeMapper mapper;
  RecordedDebug debug;
  ReconnectDrives(registry, mapper, debug);
  const std::vector<std::pair<Text, Text>> expected = {
      {u"F", u"\\\\server\\data"},
      {u"H", u"\\\\server\\my data"},
      {u"M", u"\\\\server\\B\u00fcro"},  // through the ANSI code page and back
      {u"P", u"\\\\srv\\bi"},            // the last byte counts as the NUL
  };
  EXPECT_EQ(mapper.started, expected);
  EXPECT_EQ(GetRemotePath(registry, u"G"), u"C:\\not a share");
  EXPECT_EQ(GetRemotePath(registry, u"J"), u"");  // empty, so passed over
  EXPECT_EQ(GetRemotePath(registry, u"K"), u"nothing");
}

// Stored with a size that counts NULs, or old text, after the path's own
// NUL; Windows may also report an ANSI size larger than the text.
TEST(AnsiRegistry, RemotePathEndsAtItsFirstNul) {
  DeleteUserKey(L"Network");
  const wchar_t trailingNuls[] = L"\\\\fs\\k\0\0\0";
  SetUserValue(L"Network\\F", L"RemotePath", REG_SZ, trailingNuls, sizeof trailingNuls);
  const wchar_t leftovers[] = L"\\\\fs\\k\0old\\longer";
  SetUserValue(L"Network\\G", L"RemotePath", REG_SZ, leftovers, sizeof leftovers);

  AnsiRegistry registry;
  EXPECT_EQ(GetRemotePath(registry, u"F"), u"\\\\fs\\k");
  EXPECT_EQ(GetRemotePath(registry, u"G"), u"\\\\fs\\k");
  FakeMapper mapper;
  RecordedDebug debug;
  ReconnectDrives(registry, mapper, debug);
  const std::vector<std::pair<Text, Text>> expected = {{u"F", u"\\\\fs\\k"}, {u"G", u"\\\\fs\\k"}};
  EXPECT_EQ(mapper.started, expected);
}

TEST(AnsiRegistry, ASizeQueryCountsTheTerminatingNul) {
  DeleteUserKey(L"Network");
  SetUserText(L"Network\\F", L"RemotePath", L"\\\\s\\d");
  AnsiRegistry registry;
  RegistryKey key = 0;
  ASSERT_EQ(registry.OpenKey("Network\\F", &key), kRegistrySuccess);
  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(registry.QueryValue(key, "RemotePath", &type, nullptr, &size), kRegistrySuccess);
  EXPECT_EQ(type, static_cast<std::uint32_t>(REG_SZ));
  EXPECT_EQ(size, 6u);
  std::uint32_t tooSmall = 3;
  unsigned char buffer[8] = {};
  EXPECT_EQ(registry.QueryValue(key, "RemotePath", &type, buffer, &tooSmall), ERROR_MORE_DATA);
  EXPECT_EQ(registry.CloseKey(key), kRegistrySuccess);
  EXPECT_NE(registry.OpenKey("Network\\Q", &key), kRegistrySuccess);
}

}  // namespace

}  // namespace keldo
