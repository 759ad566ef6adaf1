#include <gtest/gtest.h>

#include "platform/linux/registry/reg_reader.h"
#include "platform/linux/text/name_fold.h"

namespace keldo {

namespace {

constexpr const char* kHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to "
    "\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n";

std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
  std::vector<unsigned char> out;
  for (const int v : values) out.push_back(static_cast<unsigned char>(v));
  return out;
}

// The file read in one pass that keeps `keys`.
RegHive Parse(const std::string& content, std::initializer_list<const char16_t*> keys) {
  RegKeySet wanted;
  for (const char16_t* key : keys) wanted.insert(FoldName(key));
  return ParseRegFile(content, wanted);
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
      {"[Network\\\\F] 1700000000\n#time=1da0000\n\"RemotePath\"=\"\\\\\\\\server\\\\share\"\n",
       u"Network\\F", u"RemotePath", kRegSz, u"\\\\server\\share"},
      {"[A]\n\"v\"=\"tab\\there\\nline \\\"q\\\" \\a\\b\\e\\f\\r\\v\"\n", u"A", u"v", kRegSz,
       u"tab\there\nline \"q\" \a\b\x1b\f\r\v"},
      {"[A]\n\"v\"=\"M\\xfcller \\x263a\\x20ac9 \\101\\0619\"\n", u"A", u"v", kRegSz,
       u"M\u00fcller \u263a\u20ac9 A19"},
      {"[A]\n\"v\"=\"Gr\xc3\xbc\xc3\x9f raw UTF-8\"\n", u"A", u"v", kRegSz,
       u"Gr\u00fc\u00df raw UTF-8"},
      {"[A]\n\"v\"=str(2):\"%USERPROFILE%\\\\x\"\n", u"A", u"v", kRegExpandSz, u"%USERPROFILE%\\x"},
      {"[A]\n@=\"default\"\n", u"A", u"", kRegSz, u"default"},
      {"[A]\n\"v\"=hex(1):41,00,42,00,00,00\n", u"A", u"v", kRegSz, u"AB"},
      {"[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC]\n\"PkgNbr\"=\"1\"\n",
       u"SOFTWARE\\vb and vba program settings\\KELDO6\\thispc", u"PKGNBR", kRegSz, u"1"},
      {"[Caf\\xe9\\\\\\xc9T\\xc9]\n\"\\x00c9t\\xe9\"=\"x\"\n", u"CAF\u00c9\\\u00e9t\u00e9",
       u"\u00e9T\u00c9", kRegSz, u"x"},
      {"[A\\]B]\n\"v\"=\"bracket\"\n", u"A]B", u"v", kRegSz, u"bracket"},
      {"[A]\r\n\"v\"=\"crlf\"\r\n", u"A", u"v", kRegSz, u"crlf"},
      {"[A]\n\"v\"=\"first\"\n\"v\"=\"second\"\n", u"A", u"v", kRegSz, u"second"},
  };
  for (const auto& c : cases) {
    const RegHive hive = Parse(std::string(kHeader) + c.body, {c.key});
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
      {"\"v\"=hex(7):5c,00,5c,00,\\\n  73,00,00,00,00,00\n", kRegMultiSz,
       Bytes({0x5c, 0, 0x5c, 0, 0x73, 0, 0, 0, 0, 0})},
      {"\"v\"=hex(100000):01\n", 0x100000, Bytes({1})},
      {"\"v\"=str(7):\"a\"\n", kRegMultiSz, Bytes({'a', 0, 0, 0})},
  };
  for (const auto& c : cases) {
    const RegHive hive = Parse(std::string(kHeader) + "[K]\n" + c.body, {u"K"});
    const RegValue* value = hive.Value(u"k", u"v");
    ASSERT_NE(value, nullptr) << c.body;
    EXPECT_EQ(value->type, c.type) << c.body;
    EXPECT_EQ(value->data, c.data) << c.body;
    if (c.type != kRegSz && c.type != kRegExpandSz) {
      EXPECT_EQ(RegText(*value), u"") << c.body;
    }
  }
}

// A bad line is passed over and the rest of the file still counts. A value
// line whose name Wine reads but whose data it cannot still replaces the
// value, empty and of no type, as Wine's loader leaves it.
TEST(RegHive, PassesOverMalformedLines) {
  const struct {
    const char* line;
    bool named;                        // false: no value "v" at all
    std::vector<unsigned char> dword;  // the data of a dword Wine reads
  } bad[] = {
      {"\"v\"=\"unterminated\n", true, {}},
      {"\"v\"=hex:zz,01\n", true, {}},
      {"\"v\"=dword:123456789\n", true, Bytes({0x89, 0x67, 0x45, 0x23})},
      {"\"v\"=dword:\n", true, Bytes({0, 0, 0, 0})},
      {"\"v\"=str(x):\"a\"\n", true, {}},
      {"\"v\"=hex(2:41\n", true, {}},
      {"\"v\"=-\n", true, {}},
      {"\"v\"=unknown:1\n", true, {}},
      {"\"v\"\n", false, {}},
      {"\"v\"=\"trailing \\", true, {}},
      {"\"v\"=hex:01,\\\nzz\n", true, {}},
      {"\xff\xfe\x00garbage\n", false, {}},
      {"@\n", false, {}},
      {"\"v\"=\"ok\"\n[broken\n\"w\"=\"after broken key\"\n", true, {}},
  };
  for (const auto& c : bad) {
    const std::string line = c.line;
    const RegHive hive =
        Parse(std::string(kHeader) + "[K]\n" + line + "\n[K]\n\"good\"=\"yes\"\n", {u"K"});
    const RegValue* good = hive.Value(u"K", u"good");
    ASSERT_NE(good, nullptr) << line;
    EXPECT_EQ(RegText(*good), u"yes") << line;
    EXPECT_EQ(hive.Value(u"K", u"w"), nullptr) << line;
    const RegValue* v = hive.Value(u"K", u"v");
    if (!c.named) {
      EXPECT_EQ(v, nullptr) << line;
    } else if (line.find("\"ok\"") != std::string::npos) {
      ASSERT_NE(v, nullptr) << line;
      EXPECT_EQ(RegText(*v), u"ok") << line;
    } else {
      ASSERT_NE(v, nullptr) << line;
      EXPECT_EQ(v->type, c.dword.empty() ? 0u : kRegDword) << line;
      EXPECT_EQ(v->data, c.dword) << line;
    }
  }
}

TEST(RegHive, WholeFilesThatAreNoRegistryReadAsEmpty) {
  const char* files[] = {"",
                         "\n\n",
                         "REGEDIT4\n[A]\n\"v\"=\"x\"\n",
                         "[A]\n\"v\"=\"x\"\n",
                         "WINE REGISTRY Version 1\n[A]\n\"v\"=\"x\"\n",
                         "\"v\"=\"value before any key\"\n"};
  for (const char* file : files) {
    const RegHive hive = Parse(file, {u"A"});
    EXPECT_EQ(hive.Key(u"A"), nullptr) << file;
  }
  EXPECT_EQ(Parse(std::string(kHeader) + "\"v\"=\"x\"\n", {u""}).Key(u""), nullptr);
}

TEST(RegHive, KeysWithoutValuesExist) {
  const RegHive hive = Parse(std::string(kHeader) + "[Network\\\\G] 1700000000\n#time=1\n",
                             {u"network\\g", u"network", u"networ", u"network\\g\\h"});
  ASSERT_NE(hive.Key(u"network\\g"), nullptr);
  EXPECT_TRUE(hive.Key(u"network\\g")->empty());
  ASSERT_NE(hive.Key(u"network"), nullptr);  // a parent that Wine writes no line for
  EXPECT_TRUE(hive.Key(u"network")->empty());
  EXPECT_EQ(hive.Key(u"networ"), nullptr);
  EXPECT_EQ(hive.Key(u"network\\g\\h"), nullptr);
}

// Every kept value of a hive, in order, as text.
std::string Dump(const RegHive& hive, std::initializer_list<const char16_t*> keys) {
  std::string out;
  for (const char16_t* key : keys) {
    const RegValues* values = hive.Key(key);
    out += ToUtf8(key) + (values ? ":" : " absent") + "\n";
    if (values == nullptr) continue;
    for (const auto& [name, value] : *values) {
      out += "  " + ToUtf8(name) + " " + std::to_string(value.type) + " " +
             std::to_string(value.data.size()) + ":";
      for (const unsigned char b : value.data) out += std::to_string(b) + ",";
      out += "\n";
    }
  }
  return out;
}

// The file arrives in pieces of whatever size a read returns.
TEST(RegReader, PiecesOfAnySizeReadAsTheWhole) {
  const std::string file =
      std::string(kHeader) +
      "[A]\r\n\"v\"=\"M\\xfcller \\x263a\"\r\n\"h\"=hex(7):5c,00,5c,00,\\\r\n  73,00,00,00,\\\n  "
      "00,00\n"
      "[A\\\\B] 1\n@=dword:00000401\n\"w\"=\"Gr\xc3\xbc\xc3\x9f\"\n[C]\n\"x\"=hex:01,\\\n  "
      "zz\n\"y\"=\"after\"";
  const RegKeySet wanted = {u"a", u"a\\b", u"c"};
  const std::string whole = Dump(ParseRegFile(file, wanted), {u"A", u"A\\B", u"C"});
  EXPECT_NE(whole.find("y 1"), std::string::npos) << whole;
  for (const std::size_t pieceSize : {1, 2, 3, 7, 64}) {
    RegReader reader(wanted);
    for (std::size_t at = 0; at < file.size(); at += pieceSize)
      reader.Feed(std::string_view(file).substr(at, pieceSize));
    EXPECT_EQ(Dump(reader.Finish(), {u"A", u"A\\B", u"C"}), whole) << pieceSize;
  }
}

TEST(RegReader, KeepsOnlyTheKeysAskedFor) {
  const RegHive hive =
      Parse(std::string(kHeader) +
                "[Network\\\\F]\n\"RemotePath\"=\"f\"\n[Network\\\\G\\\\Sub]\n\"v\"=\"s\"\n"
                "[Software\\\\Other]\n\"v\"=\"o\"\n",
            {u"Network\\F", u"Network\\G"});
  ASSERT_NE(hive.Value(u"network\\f", u"remotepath"), nullptr);
  ASSERT_NE(hive.Key(u"Network\\G"), nullptr);  // it has a subkey
  EXPECT_TRUE(hive.Key(u"Network\\G")->empty());
  EXPECT_EQ(hive.Key(u"Network\\G\\Sub"), nullptr);
  EXPECT_EQ(hive.Key(u"Software\\Other"), nullptr);
  EXPECT_EQ(hive.Key(u"Network"), nullptr);
}

// What no reader can use is passed over, and the lines after it still count.
TEST(RegReader, OversizedLinesAndValuesReadAsAbsent) {
  const std::string hugeText(2 * 1024 * 1024, 'x');
  std::string hexLines;
  while (hexLines.size() < 1024 * 1024)
    hexLines += "  41,00,41,00,41,00,41,00,41,00,41,00,41,00,41,00,\\\n";
  std::string longHexLine = "\"longhex\"=hex:";
  while (longHexLine.size() < 2 * 1024 * 1024) longHexLine += "41,";
  const struct {
    const char* name;
    std::string lines;
  } cases[] = {
      {"TwoMegabyteString", "\"big\"=\"" + hugeText + "\"\n"},
      {"StringPastTheValueBound", "\"big\"=\"" + std::string(kMaxRegValueBytes / 2, 'x') + "\"\n"},
      {"HexPastTheValueBound", "\"big\"=hex(1):\\\n" + hexLines + "  00,00\n"},
      {"OneLongHexLineGoingOn", longHexLine + "\\\n  41,00,\\\n[Other]\n"},
      {"LongKeyHeader", "[" + hugeText + "]\n\"big\"=\"x\"\n[K]\n"},
      {"UnterminatedLastLine", "\"big\"=\"" + hugeText},
  };
  for (const auto& c : cases) {
    const std::string file = std::string(kHeader) + "[K]\n\"before\"=\"1\"\n" + c.lines +
                             (c.lines.back() == '\n' ? "\"after\"=\"2\"\n" : "");
    const RegHive hive = Parse(file, {u"K"});
    EXPECT_EQ(hive.Value(u"K", u"big"), nullptr) << c.name;
    EXPECT_EQ(hive.Value(u"K", u"longhex"), nullptr) << c.name;
    ASSERT_NE(hive.Value(u"K", u"before"), nullptr) << c.name;
    if (c.lines.back() == '\n') {
      ASSERT_NE(hive.Value(u"K", u"after"), nullptr) << c.name;
      EXPECT_EQ(RegText(*hive.Value(u"K", u"after")), u"2") << c.name;
    }
  }
  // Just within the bound, a value is kept.
  const RegHive kept = Parse(std::string(kHeader) + "[K]\n\"big\"=\"" +
                                 std::string(kMaxRegValueBytes / 2 - 1, 'x') + "\"\n",
                             {u"K"});
  ASSERT_NE(kept.Value(u"K", u"big"), nullptr);
  EXPECT_EQ(kept.Value(u"K", u"big")->data.size(), kMaxRegValueBytes);
}

}  // namespace

}  // namespace keldo
