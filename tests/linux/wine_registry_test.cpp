#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "base/errors.h"
#include "local/reconnect.h"
#include "platform/linux/registry/network_registry.h"
#include "platform/linux/registry/reg_file.h"
#include "platform/linux/registry/settings_store.h"
#include "platform/linux/text/name_fold.h"
#include "support/case_name.h"
#include "support/long_setting_cases.h"
#include "support/temp_prefix.h"
#include "support/wine_hive_cases.h"

namespace keldo {

namespace {

constexpr const char* kUserReg =
    "[Network\\\\F] 1700000000\n#time=1d9e8c4a1b2c3d4\n\"ConnectionType\"=dword:00000001\n"
    "\"ProviderName\"=\"Microsoft Windows Network\"\n\"RemotePath\"=\"\\\\\\\\server\\\\data\"\n\n"
    "[Network\\\\H] 1700000000\n\"RemotePath\"=\"\\\\\\\\s\\\\Caf\\xe9 \\x20ac \\x263a "
    "\\xd83d\\xde00\"\n\n"
    "[Network\\\\J] 1700000000\n\"RemotePath\"=hex(7):5c,00,5c,00,73,00,00,00,00,00\n\n"
    "[Network\\\\K] 1700000000\n\"RemotePath\"=hex:5c,5c,6b\n\n"
    "[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC] 1700000000\n"
    "\"AutoUpdate\"=\"No\"\n\"PkgNbr\"=\" 12 34 \"\n\"VerNbr\"=\"v6.3.215 "
    "01/12/2024\"\n\"Number\"=dword:00000005\n";

class WineRegistryTest : public ::testing::Test {
 protected:
  WineRegistryTest() { prefix_.WriteUserReg(kUserReg); }

  // Size query, then data query, as the ANSI calls are used.
  std::string Query(const std::string& key, const std::string& name,
                    std::uint32_t* type = nullptr) {
    RegistryKey handle = 0;
    if (registry_.OpenKey(key, &handle) != kRegistrySuccess) return "<no key>";
    std::uint32_t size = 0;
    std::string bytes = "<no value>";
    if (registry_.QueryValue(handle, name, type, nullptr, &size) == kRegistrySuccess) {
      bytes.assign(size, '\x7f');
      std::uint32_t count = size;
      EXPECT_EQ(registry_.QueryValue(handle, name, nullptr,
                                     reinterpret_cast<unsigned char*>(bytes.data()), &count),
                kRegistrySuccess);
      EXPECT_EQ(count, size);
    }
    EXPECT_EQ(registry_.CloseKey(handle), kRegistrySuccess);
    return bytes;
  }

  TempPrefix prefix_;
  RegFile userReg_{prefix_.Prefix().UserReg(), kUserRegRoot};
  RegFile systemReg_{prefix_.Prefix().SystemReg(), kSystemRegRoot};
  AnsiCodePage codePage_{systemReg_};
  WineSettingsStore settings_{userReg_};
  WineNetworkRegistry registry_{userReg_, codePage_};
};

TEST_F(WineRegistryTest, SettingsReadAsStoredAndMissingOnesAsEmpty) {
  const struct {
    const char16_t* app;
    const char16_t* section;
    const char16_t* key;
    const char16_t* expected;
  } cases[] = {
      {u"Keldo6", u"ThisPC", u"AutoUpdate", u"No"},
      {u"Keldo6", u"ThisPC", u"PkgNbr", u" 12 34 "},
      {u"keldo6", u"THISPC", u"vernbr", u"v6.3.215 01/12/2024"},
      {u"Keldo6", u"ThisPC", u"Network", u""},
      {u"Keldo6", u"ThisPC", u"Number", u""},
      {u"Keldo6", u"OtherPC", u"PkgNbr", u""},
      {u"Other", u"ThisPC", u"PkgNbr", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(settings_.GetSetting(c.app, c.section, c.key), c.expected) << ToUtf8(c.key);
  }
}

// Wine writes every character outside ASCII as an escape.
std::string WineEscaped(const Text& text) {
  std::string out;
  char escape[8];
  for (const char16_t c : text) {
    if (c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\') {
      out.push_back(static_cast<char>(c));
    } else {
      std::snprintf(escape, sizeof escape, "\\x%04x", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out;
}

class LongSettings : public WineRegistryTest,
                     public ::testing::WithParamInterface<LongSettingCase> {};

TEST_P(LongSettings, ReadAsMissingPastSixtyFourKibibytes) {
  const Text text = LongSettingText(GetParam());
  prefix_.WriteUserReg(
      "[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC] 1700000000\n"
      "\"AutoUpdate\"=\"No\"\n\"PkgNbr\"=\"" +
      WineEscaped(text) + "\"\n");
  const Text read = settings_.GetSetting(u"Keldo6", u"ThisPC", u"PkgNbr");
  EXPECT_EQ(read.size(), GetParam().read ? text.size() : 0u);
  EXPECT_TRUE(read == (GetParam().read ? text : Text()));
  EXPECT_EQ(settings_.GetSetting(u"Keldo6", u"ThisPC", u"AutoUpdate"), u"No");
}

INSTANTIATE_TEST_SUITE_P(Table, LongSettings, ::testing::ValuesIn(kLongSettingCases), CaseName());

// Stored with NULs after the text, as regedit's hex(1) lines store them and
// as Wine then writes them back.
TEST_F(WineRegistryTest, RemotePathEndsAtItsFirstNul) {
  const struct {
    const char* name;
    const char* value;
  } cases[] = {
      {"HexWithTrailingNuls", "hex(1):5c,00,5c,00,66,00,73,00,5c,00,6b,00,00,00,00,00,00,00,00,00"},
      {"EscapedTrailingNuls", "\"\\\\\\\\fs\\\\k\\0\\0\\0\""},
      {"NulBeforeLeftovers", "\"\\\\\\\\fs\\\\k\\0old\\\\longer\""},
  };
  for (const auto& c : cases) {
    prefix_.WriteUserReg(std::string("[Network\\\\F] 1700000000\n\"RemotePath\"=") + c.value +
                         "\n");
    EXPECT_EQ(GetRemotePath(registry_, u"F"), u"\\\\fs\\k") << c.name;
  }
}

TEST_F(WineRegistryTest, MissingOrForeignUserRegReadsAsNothing) {
  for (const char* content : {"", "not a registry\n", "\x00\x01\x02"}) {
    prefix_.Write("user.reg", content);
    EXPECT_EQ(settings_.GetSetting(u"Keldo6", u"ThisPC", u"AutoUpdate"), u"");
    EXPECT_EQ(Query("Network\\F", "RemotePath"), "<no key>");
  }
  std::remove((prefix_.Root() + "/user.reg").c_str());
  EXPECT_EQ(settings_.GetSetting(u"Keldo6", u"ThisPC", u"AutoUpdate"), u"");
}

// A user.reg that is there but cannot be read is no settings store without
// the values: the settings stage fails with errno's text. Only a file that
// is not there reads as nothing.
TEST_F(WineRegistryTest, UnreadableUserRegFailsTheSettings) {
  const std::string path = prefix_.Root() + "/user.reg";
  const struct {
    const char* name;
    const char* linkTo;  // user.reg becomes this symbolic link
    bool noFreeDescriptor;
    const char* failure;  // empty: reads as no settings
  } cases[] = {
      {"LinkToNothing", "nothing-there", false, ""},
      {"LinkToItself", "user.reg", false, "failed: Too many levels of symbolic links (40)"},
      {"NoFreeDescriptor", nullptr, true, "failed: Too many open files (24)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    prefix_.WriteUserReg(kUserReg);
    if (c.linkTo != nullptr) {
      std::remove(path.c_str());
      ASSERT_EQ(::symlink(c.linkTo, path.c_str()), 0);
    }
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    if (c.noFreeDescriptor) {
      const int lowest = ::dup(0);
      ::close(lowest);
      rlimit none = saved;
      none.rlim_cur = static_cast<rlim_t>(lowest);
      ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    }
    std::string thrown;
    Text read = u"<not read>";
    try {
      read = settings_.GetSetting(u"Keldo6", u"ThisPC", u"AutoUpdate");
    } catch (const RunTimeError& error) {
      thrown = error.what();
    }
    ::setrlimit(RLIMIT_NOFILE, &saved);
    if (*c.failure == '\0') {
      EXPECT_EQ(thrown, "");
      EXPECT_EQ(read, u"");
    } else {
      EXPECT_EQ(thrown, "Reading " + path + " " + c.failure);
    }
    std::remove(path.c_str());
  }
}

TEST_F(WineRegistryTest, RewrittenFileIsReadAfresh) {
  EXPECT_EQ(settings_.GetSetting(u"Keldo6", u"ThisPC", u"AutoUpdate"), u"No");
  prefix_.WriteUserReg(
      "[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC]\n\"AutoUpdate\"=\"Yes, "
      "longer\"\n");
  EXPECT_EQ(settings_.GetSetting(u"Keldo6", u"ThisPC", u"AutoUpdate"), u"Yes, longer");
}

TEST_F(WineRegistryTest, ValuesComeBackAsAnsiBytesWithTheirNul) {
  const struct {
    const char* key;
    std::string expected;
    std::uint32_t type;
  } cases[] = {
      {"Network\\F", std::string("\\\\server\\data\0", 14), kRegSz},
      {"network\\f", std::string("\\\\server\\data\0", 14), kRegSz},
      // e-acute and the euro sign have 1252 forms; the smiley and the emoji do
      // not, and the emoji is two UTF-16 units.
      {"Network\\H", std::string("\\\\s\\Caf\xe9 \x80 ? ??\0", 16), kRegSz},
      {"Network\\J", std::string("\\\\s\0\0", 5), kRegMultiSz},
      {"Network\\K", "\\\\k", kRegBinary},
      {"Network\\G", "<no key>", 0},
      {"Network", "<no value>", 0},
  };
  for (const auto& c : cases) {
    std::uint32_t type = 0;
    EXPECT_EQ(Query(c.key, "RemotePath", &type), c.expected) << c.key;
    EXPECT_EQ(type, c.type) << c.key;
  }
}

TEST_F(WineRegistryTest, SmallBufferGetsMoreDataAndTheNeededSize) {
  RegistryKey handle = 0;
  ASSERT_EQ(registry_.OpenKey("Network\\F", &handle), kRegistrySuccess);
  unsigned char buffer[4] = {};
  std::uint32_t size = sizeof buffer;
  EXPECT_EQ(registry_.QueryValue(handle, "RemotePath", nullptr, buffer, &size), 234);
  EXPECT_EQ(size, 14u);
  EXPECT_EQ(registry_.QueryValue(handle, "RemotePath", nullptr, buffer, nullptr), 87);
  EXPECT_EQ(registry_.QueryValue(handle, "Missing", nullptr, nullptr, &size), 2);
  EXPECT_EQ(registry_.CloseKey(handle), kRegistrySuccess);
  EXPECT_EQ(registry_.CloseKey(handle), 6);
  EXPECT_EQ(registry_.QueryValue(handle, "RemotePath", nullptr, nullptr, &size), 6);
}

TEST_F(WineRegistryTest, OpenKeyKeepsItsValuesWhileTheFileChanges) {
  RegistryKey handle = 0;
  ASSERT_EQ(registry_.OpenKey("Network\\F", &handle), kRegistrySuccess);
  prefix_.WriteUserReg("");
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.QueryValue(handle, "RemotePath", nullptr, nullptr, &size), kRegistrySuccess);
  EXPECT_EQ(size, 14u);
  registry_.CloseKey(handle);
  EXPECT_EQ(registry_.OpenKey("Network\\F", &handle), 2);
}

// Each file as user.reg, read the way the product's registry calls read it:
// the same answer as Wine's, which the Wine suite checks against Wine itself.
class WineHives : public ::testing::TestWithParam<WineHiveCase> {};

TEST_P(WineHives, ReadAsWineReadsThem) {
  TempPrefix prefix;
  prefix.Write("user.reg", WineHiveText(GetParam(), u"\\Registry\\User\\S-1-5-21-0-0-0-1000"));
  RegFile userReg(prefix.Prefix().UserReg(), kUserRegRoot);
  std::string answer = "absent";
  if (const RegValues* values = userReg.Key(GetParam().key)) {
    const auto value = values->find(FoldName(GetParam().value));
    answer = value == values->end() ? "no value"
                                    : WineHiveAnswer(value->second.type, value->second.data.data(),
                                                     value->second.data.size());
  }
  EXPECT_EQ(answer, GetParam().wine);
}

INSTANTIATE_TEST_SUITE_P(Table, WineHives, ::testing::ValuesIn(kWineHiveCases), CaseName());

}  // namespace

}  // namespace keldo
