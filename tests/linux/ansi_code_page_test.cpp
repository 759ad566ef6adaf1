// Text in the prefix's own ANSI code page, as Wine records it in system.reg:
// file lines and remembered paths read as the Windows program reads them.
#include <gtest/gtest.h>

#include "local/reconnect.h"
#include "platform/linux/files/text_files.h"
#include "platform/linux/registry/network_registry.h"
#include "platform/linux/text/ansi_code_page.h"
#include "support/ansi_best_fit_cases.h"
#include "support/case_name.h"
#include "support/temp_prefix.h"

namespace keldo {

namespace {

struct CodePageCase {
  const char* name;
  const char* systemReg;  // the body of system.reg, nullptr for no file
  unsigned number;
  std::string ansi;
  const char16_t* text;
};

const CodePageCase kCodePages[] = {
    {"Cyrillic1251",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] "
     "1700000000\n\"ACP\"=\"1251\"\n\"OEMCP\"=\"866\"\n",
     1251, "\xcf\xf0\xe8\xe2\xe5\xf2 \xb9", u"\u041f\u0440\u0438\u0432\u0435\u0442 \u2116"},
    {"CentralEuropean1250",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"1250\"\n",
     1250, "\x8a\xe8\xf8 \xb9", u"\u0160\u010d\u0159 \u0105"},
    {"Japanese932",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"932\"\n",
     932, "\x83\x65\x83\x58\x83\x67\\", u"\u30c6\u30b9\u30c8\\"},
    {"KeyNamesInAnyCase",
     "[system\\\\currentcontrolset\\\\CONTROL\\\\nls\\\\CodePage] 1700000000\n\"acp\"=\"1251\"\n",
     1251, "\xcf", u"\u041f"},
    {"AbsentValue",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"OEMCP\"=\"866\"\n",
     1252, "Caf\xe9 \x80\x9f", u"Caf\u00e9 \u20ac\u0178"},
    {"NoSystemReg", nullptr, 1252, "Caf\xe9 \x80\x9f", u"Caf\u00e9 \u20ac\u0178"},
    {"UnknownToIconv",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"99999\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
    // Windows never runs with these as its ANSI code page.
    {"Ebcdic500",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"500\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
    {"Ebcdic1026",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"1026\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
    {"Ebcdic1047",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"1047\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
    {"Ebcdic875",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"875\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
    {"Ebcdic4517",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"4517\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
    {"Oem437",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"437\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
    {"Utf8",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"65001\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
    {"Thai874",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"874\"\n",
     874, "\xa1\xb9", u"\u0e01\u0e19"},
    {"NotANumber",
     "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"cp1251\"\n",
     1252, "Caf\xe9", u"Caf\u00e9"},
};

// A user.reg body remembering `remote` for F:, every UTF-16 unit escaped.
std::string RemembersF(const Text& remote) {
  std::string escaped;
  char escape[8];
  for (const char16_t c : remote) {
    std::snprintf(escape, sizeof escape, "\\x%04x", static_cast<unsigned>(c));
    escaped += escape;
  }
  return "[Network\\\\F] 1700000000\n\"RemotePath\"=\"" + escaped + "\"\n";
}

// F:'s remembered path as the ANSI calls hand it out: the size query, then
// the data query.
std::string AnsiRemotePathOfF(WineNetworkRegistry& registry) {
  RegistryKey key = 0;
  if (registry.OpenKey("Network\\F", &key) != kRegistrySuccess) return "<no key>";
  std::uint32_t size = 0;
  std::string bytes = "<no value>";
  if (registry.QueryValue(key, "RemotePath", nullptr, nullptr, &size) == kRegistrySuccess) {
    bytes.assign(size, '\0');
    EXPECT_EQ(registry.QueryValue(key, "RemotePath", nullptr,
                                  reinterpret_cast<unsigned char*>(bytes.data()), &size),
              kRegistrySuccess);
  }
  registry.CloseKey(key);
  return bytes;
}

class CodePages : public ::testing::TestWithParam<CodePageCase> {
 protected:
  CodePages() {
    if (GetParam().systemReg != nullptr) prefix_.WriteSystemReg(GetParam().systemReg);
  }

  TempPrefix prefix_;
  WinePaths paths_{prefix_.Prefix()};
  RegFile userReg_{prefix_.Prefix().UserReg(), kUserRegRoot};
  RegFile systemReg_{prefix_.Prefix().SystemReg(), kSystemRegRoot};
  AnsiCodePage codePage_{systemReg_};
  PosixTextFiles text_{paths_, codePage_};
  WineNetworkRegistry registry_{userReg_, codePage_};
};

TEST_P(CodePages, FileTextReadsThroughThePrefixCodePage) {
  EXPECT_EQ(codePage_.Number(), GetParam().number);
  EXPECT_EQ(text_.FromAnsi(GetParam().ansi), GetParam().text);
  EXPECT_EQ(registry_.FromAnsi(GetParam().ansi), GetParam().text);
}

// The ANSI calls hand a remembered path out in the code page, and it comes
// back as the text that was stored.
TEST_P(CodePages, RemotePathsGoThroughThePrefixCodePage) {
  prefix_.WriteUserReg(RemembersF(u"\\\\srv\\" + Text(GetParam().text)));
  EXPECT_EQ(AnsiRemotePathOfF(registry_), "\\\\srv\\" + GetParam().ansi + std::string(1, '\0'));
  EXPECT_EQ(GetRemotePath(registry_, u"F"), u"\\\\srv\\" + Text(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Table, CodePages, ::testing::ValuesIn(kCodePages), CaseName());

// Bytes a code page leaves undefined stand for the character of the same
// value, as Windows' tables give them; a character without a form is its
// best fit (U+263A is 'O' in 1251), else '?' per UTF-16 unit.
TEST(AnsiCodePage, UndefinedBytesAndCharactersWithoutAForm) {
  TempPrefix prefix;
  prefix.WriteSystemReg(
      "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"1251\"\n");
  RegFile systemReg(prefix.Prefix().SystemReg(), kSystemRegRoot);
  AnsiCodePage codePage(systemReg);
  EXPECT_EQ(codePage.ToText("a\x98z"), u"a\u0098z");
  EXPECT_EQ(codePage.FromText(u"\u042f\u263a\U0001f600\xd800z"), "\xdfO???z");

  prefix.WriteSystemReg("");
  EXPECT_EQ(codePage.ToText("\x81\x8d\x8f\x90\x9d"), u"\u0081\u008d\u008f\u0090\u009d");
}

// The ANSI calls hand out Windows' best fit where the code page has no
// form, as Wine's tables give it.
class BestFit : public ::testing::TestWithParam<AnsiBestFitCase> {};

TEST_P(BestFit, RemotePathsComeOutAsWindowsGivesThem) {
  TempPrefix prefix;
  prefix.WriteUserReg(RemembersF(GetParam().text));
  RegFile userReg(prefix.Prefix().UserReg(), kUserRegRoot);
  RegFile systemReg(prefix.Prefix().SystemReg(), kSystemRegRoot);
  AnsiCodePage codePage(systemReg);
  WineNetworkRegistry registry(userReg, codePage);
  EXPECT_EQ(codePage.FromText(GetParam().text), GetParam().ansi);
  EXPECT_EQ(AnsiRemotePathOfF(registry), GetParam().ansi + std::string(1, '\0'));
}

INSTANTIATE_TEST_SUITE_P(Table, BestFit, ::testing::ValuesIn(kAnsiBestFitCases), CaseName());

}  // namespace

}  // namespace keldo
