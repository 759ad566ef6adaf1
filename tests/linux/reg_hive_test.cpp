#include <gtest/gtest.h>

#include "platform/linux/reg_hive.h"

namespace {

constexpr const char* kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n";

std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
  std::vector<unsigned char> out;
  for (const int v : values) out.push_back(static_cast<unsigned char>(v));
  return out;
}

struct TextCase {
  const char* body;
  const char16_t* key;
  const char16_t* name;
  std::uint32_t type;
  const char16_t* text;
};

// Values as Wine writes them, looked up as the program looks them up.
TEST(RegHive, ReadsWineTextValues) {
  const TextCase cases[] = {
      {"[Network\\\\F] 1700000000\n#time=1da0000\n\"RemotePath\"=\"\\\\\\\\server\\\\share\"\n", u"Network\\F", u"RemotePath", kRegSz, u"\\\\server\\share"},
      {"[A]\n\"v\"=\"tab\\there\\nline \\\"q\\\" \\a\\b\\e\\f\\r\\v\"\n", u"A", u"v", kRegSz, u"tab\there\nline \"q\" \a\b\x1b\f\r\v"},
      {"[A]\n\"v\"=\"M\\xfcller \\x263a\\x20ac9 \\101\\0619\"\n", u"A", u"v", kRegSz, u"M\u00fcller \u263a\u20ac9 A19"},
      {"[A]\n\"v\"=\"Gr\xc3\xbc\xc3\x9f raw UTF-8\"\n", u"A", u"v", kRegSz, u"Gr\u00fc\u00df raw UTF-8"},
      {"[A]\n\"v\"=str(2):\"%USERPROFILE%\\\\x\"\n", u"A", u"v", kRegExpandSz, u"%USERPROFILE%\\x"},
      {"[A]\n@=\"default\"\n", u"A", u"", kRegSz, u"default"},
      {"[A]\n\"v\"=hex(1):41,00,42,00,00,00\n", u"A", u"v", kRegSz, u"AB"},
      {"[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC]\n\"PkgNbr\"=\"1\"\n", u"SOFTWARE\\vb and vba program settings\\KELDO6\\thispc", u"PKGNBR", kRegSz, u"1"},
      {"[Caf\\xe9\\\\\\xc9T\\xc9]\n\"\\x00c9t\\xe9\"=\"x\"\n", u"CAF\u00c9\\\u00e9t\u00e9", u"\u00e9T\u00c9", kRegSz, u"x"},
      {"[A\\]B]\n\"v\"=\"bracket\"\n", u"A]B", u"v", kRegSz, u"bracket"},
      {"[A]\r\n\"v\"=\"crlf\"\r\n", u"A", u"v", kRegSz, u"crlf"},
      {"[A]\n\"v\"=\"first\"\n\"v\"=\"second\"\n", u"A", u"v", kRegSz, u"second"},
  };
  for (const auto& c : cases) {
    const RegHive hive = ParseRegFile(std::string(kHeader) + c.body);
    const RegValue* value = hive.Value(c.key, c.name);
    ASSERT_NE(value, nullptr) << c.body;
    EXPECT_EQ(value->type, c.type) << c.body;
    EXPECT_EQ(RegText(*value), c.text) << c.body;
  }
}

struct BytesCase {
  const char* body;
  std::uint32_t type;
  std::vector<unsigned char> data;
};

TEST(RegHive, ReadsOddValueTypesAsRawBytes) {
  const BytesCase cases[] = {
      {"\"v\"=dword:00000401\n", kRegDword, Bytes({0x01, 0x04, 0, 0})},
      {"\"v\"=hex:de,ad,be,ef\n", kRegBinary, Bytes({0xde, 0xad, 0xbe, 0xef})},
      {"\"v\"=hex:\n", kRegBinary, {}},
      {"\"v\"=hex(7):5c,00,5c,00,\\\n  73,00,00,00,00,00\n", kRegMultiSz, Bytes({0x5c, 0, 0x5c, 0, 0x73, 0, 0, 0, 0, 0})},
      {"\"v\"=hex(100000):01\n", 0x100000, Bytes({1})},
      {"\"v\"=str(7):\"a\"\n", kRegMultiSz, Bytes({'a', 0, 0, 0})},
  };
  for (const auto& c : cases) {
    const RegHive hive = ParseRegFile(std::string(kHeader) + "[K]\n" + c.body);
    const RegValue* value = hive.Value(u"k", u"v");
    ASSERT_NE(value, nullptr) << c.body;
    EXPECT_EQ(value->type, c.type) << c.body;
    EXPECT_EQ(value->data, c.data) << c.body;
    if (c.type != kRegSz && c.type != kRegExpandSz) {
      EXPECT_EQ(RegText(*value), u"") << c.body;
    }
  }
}

// A bad line is passed over and the rest of the file still counts.
TEST(RegHive, PassesOverMalformedLines) {
  const char* bad[] = {
      "\"v\"=\"unterminated\n",   "\"v\"=hex:zz,01\n",       "\"v\"=dword:123456789\n",
      "\"v\"=dword:\n",           "\"v\"=str(x):\"a\"\n",    "\"v\"=hex(2:41\n",
      "\"v\"=-\n",                "\"v\"=unknown:1\n",       "\"v\"\n",
      "\"v\"=\"trailing \\",      "\"v\"=hex:01,\\\nzz\n",   "\xff\xfe\x00garbage\n",
      "@\n",                      "\"v\"=\"ok\"\n[broken\n\"w\"=\"after broken key\"\n",
  };
  for (const char* line : bad) {
    const RegHive hive = ParseRegFile(std::string(kHeader) + "[K]\n" + line + "\n[K]\n\"good\"=\"yes\"\n");
    const RegValue* good = hive.Value(u"K", u"good");
    ASSERT_NE(good, nullptr) << line;
    EXPECT_EQ(RegText(*good), u"yes") << line;
    EXPECT_EQ(hive.Value(u"K", u"w"), nullptr) << line;
    if (std::string(line).find("\"ok\"") == std::string::npos) {
      EXPECT_EQ(hive.Value(u"K", u"v"), nullptr) << line;
    }
  }
}

TEST(RegHive, WholeFilesThatAreNoRegistryReadAsEmpty) {
  const char* files[] = {"", "\n\n", "REGEDIT4\n[A]\n\"v\"=\"x\"\n", "[A]\n\"v\"=\"x\"\n",
                         "WINE REGISTRY Version 1\n[A]\n\"v\"=\"x\"\n", "\"v\"=\"value before any key\"\n"};
  for (const char* file : files) {
    const RegHive hive = ParseRegFile(file);
    EXPECT_EQ(hive.Key(u"A"), nullptr) << file;
  }
  EXPECT_EQ(ParseRegFile(std::string(kHeader) + "\"v\"=\"x\"\n").Key(u""), nullptr);
}

TEST(RegHive, KeysWithoutValuesExist) {
  const RegHive hive = ParseRegFile(std::string(kHeader) + "[Network\\\\G] 1700000000\n#time=1\n");
  ASSERT_NE(hive.Key(u"network\\g"), nullptr);
  EXPECT_TRUE(hive.Key(u"network\\g")->empty());
  ASSERT_NE(hive.Key(u"network"), nullptr);  // a parent that Wine writes no line for
  EXPECT_TRUE(hive.Key(u"network")->empty());
  EXPECT_EQ(hive.Key(u"networ"), nullptr);
  EXPECT_EQ(hive.Key(u"network\\g\\h"), nullptr);
}

}  // namespace
