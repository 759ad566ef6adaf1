#pragma once
// Registry files and what Wine makes of them, one table for the Linux
// reader's tests and for Wine itself (the Wine suite loads each file with
// RegLoadKeyW, through the same loader that reads user.reg, and asks for
// the same value). `wine` is Wine 8's answer, which the product sees:
//   "absent"          the key cannot be opened (or the file was refused),
//   "no value"        the key opens but has no such value,
//   "<type>:<bytes>"  the value's type and its data in hex, "0:" for a
//                     value Wine keeps empty and of no type.
// Markers in `text`: @NUL@ a NUL byte; @PAD@ blanks past the 1 MiB line
// bound; @LINK(<path>)@ the hex bytes of a link to <path> in this hive;
// @CHAIN(<n>)@ keys Software\L1 to L<n>, each a link to the next, the last
// to Software\Elsewhere.
#include <cstdio>
#include <string>
#include <string_view>

namespace keldo {

struct WineHiveCase {
  const char* name;
  const char* text;
  const char16_t* key;
  const char16_t* value;
  const char* wine;
};

#define KELDO_HIVE_HEAD                               \
  "WINE REGISTRY Version 2\n;; All keys relative to " \
  "\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
#define KELDO_HIVE_KEY "[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC] 1700000000\n"

inline constexpr char16_t kWineHiveKey[] = u"Software\\VB and VBA Program Settings\\Keldo6\\ThisPC";
inline constexpr char kWineHiveOne[] = "1:31,00,00,00";

inline constexpr WineHiveCase kWineHiveCases[] = {
    {"Ordinary", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n", kWineHiveKey, u"PkgNbr",
     kWineHiveOne},
    {"IndentedKeyLineStartsAKey",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n  [Software\\\\Other]\n\"PkgNbr\"=\"2\"\n",
     kWineHiveKey, u"PkgNbr", kWineHiveOne},
    {"IndentedValueLine", KELDO_HIVE_HEAD KELDO_HIVE_KEY "  \"PkgNbr\"=\"1\"\n", kWineHiveKey,
     u"PkgNbr", kWineHiveOne},
    {"BlanksAroundEquals", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\" = \"1\"\n", kWineHiveKey,
     u"PkgNbr", kWineHiveOne},
    {"TabsAroundEquals", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"\t=\t\"1\"\n", kWineHiveKey,
     u"PkgNbr", kWineHiveOne},
    {"StrColon", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=str:\"1\"\n", kWineHiveKey, u"PkgNbr",
     kWineHiveOne},
    {"JunkAfterText", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\" junk\n", kWineHiveKey,
     u"PkgNbr", kWineHiveOne},
    {"KeyPathLeadingBackslash",
     KELDO_HIVE_HEAD
     "[\\\\Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC]\n\"PkgNbr\"=\"1\"\n",
     kWineHiveKey, u"PkgNbr", kWineHiveOne},
    {"KeyPathDoubledBackslash",
     KELDO_HIVE_HEAD
     "[Software\\\\\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC]\n\"PkgNbr\"=\"1\"\n",
     kWineHiveKey, u"PkgNbr", kWineHiveOne},
    {"KeyPathTrailingBackslash",
     KELDO_HIVE_HEAD
     "[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC\\\\]\n\"PkgNbr\"=\"1\"\n",
     kWineHiveKey, u"PkgNbr", kWineHiveOne},
    {"HexTextWithoutNul", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex(1):31,00,32,00\n",
     kWineHiveKey, u"PkgNbr", "1:31,00,32,00"},
    {"HexBlankAfterContinuation",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex(1):31,00,\\ \n  32,00,00,00\n", kWineHiveKey,
     u"PkgNbr", "1:31,00,32,00,00,00"},
    {"HexType0x1", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex(0x1):31,00,00,00\n", kWineHiveKey,
     u"PkgNbr", kWineHiveOne},
    {"HexTypeBlank1", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex( 1):31,00,00,00\n",
     kWineHiveKey, u"PkgNbr", kWineHiveOne},
    {"HexTypeTenDigits", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex(0000000001):31,00,00,00\n",
     kWineHiveKey, u"PkgNbr", kWineHiveOne},
    {"HexTypeEmpty", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex():31,00,00,00\n", kWineHiveKey,
     u"PkgNbr", "0:31,00,00,00"},
    {"HexTypeMinusOne", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex(-1):31,00,00,00\n",
     kWineHiveKey, u"PkgNbr", "4294967295:31,00,00,00"},
    {"HexBytesWithoutCommasOrZeros",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex(1):31 , 0 ,0,0\n", kWineHiveKey, u"PkgNbr",
     kWineHiveOne},
    {"LineLongOnlyByTrailingBlanks", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"@PAD@\n",
     kWineHiveKey, u"PkgNbr", kWineHiveOne},
    {"HeaderWithCrLf", "WINE REGISTRY Version 2\r\n\n" KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n",
     kWineHiveKey, u"PkgNbr", kWineHiveOne},
    {"HeaderEndsAtNul",
     "WINE REGISTRY Version 2@NUL@ and more\n\n" KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n", kWineHiveKey,
     u"PkgNbr", kWineHiveOne},
    {"HeaderTrailingBlank", "WINE REGISTRY Version 2 \n\n" KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n",
     kWineHiveKey, u"PkgNbr", "absent"},
    {"HeaderVersion23", "WINE REGISTRY Version 23\n\n" KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n",
     kWineHiveKey, u"PkgNbr", "absent"},
    {"UnknownArchitecture",
     "WINE REGISTRY Version 2\n\n#arch=win99\n\n" KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n", kWineHiveKey,
     u"PkgNbr", "absent"},
    {"Str1IsNoText", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n\"PkgNbr\"=str(1):\"2\"\n",
     kWineHiveKey, u"PkgNbr", "0:"},
    {"Str4IsNoText", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=str(4):\"2\"\n", kWineHiveKey,
     u"PkgNbr", "0:"},
    {"HexBytesPastFF",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n\"PkgNbr\"=hex(1):3100,3200,0000\n",
     kWineHiveKey, u"PkgNbr", "0:"},
    {"JunkAfterHex", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=hex(1):31,00,00,00 x\n",
     kWineHiveKey, u"PkgNbr", "0:"},
    {"RawNulInValueLine",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n\"PkgNbr\"=\"2@NUL@3\"\n", kWineHiveKey,
     u"PkgNbr", "0:"},
    {"Deletion", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n\"PkgNbr\"=-\n", kWineHiveKey,
     u"PkgNbr", "0:"},
    {"UnterminatedText", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n\"PkgNbr\"=\"2\n",
     kWineHiveKey, u"PkgNbr", "0:"},
    {"NoEquals", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\" \"1\"\n", kWineHiveKey, u"PkgNbr",
     "no value"},
    {"MalformedKeyLine",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=\"1\"\n[broken\n\"PkgNbr\"=\"2\"\n", kWineHiveKey,
     u"PkgNbr", kWineHiveOne},
    {"DwordTooLong", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=dword:123456789\n", kWineHiveKey,
     u"PkgNbr", "4:89,67,45,23"},
    {"DwordWithJunk", KELDO_HIVE_HEAD KELDO_HIVE_KEY "\"PkgNbr\"=dword:12xyz\n", kWineHiveKey,
     u"PkgNbr", "4:12,00,00,00"},
    {"LinkIsFollowed",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY
     "#link\n\"SymbolicLinkValue\"=hex(6):@LINK(Software\\Elsewhere)@\n\"PkgNbr\"=\"1\"\n"
     "[Software\\\\Elsewhere]\n\"PkgNbr\"=\"2\"\n",
     kWineHiveKey, u"PkgNbr", "1:32,00,00,00"},
    {"LinkOnTheWay",
     KELDO_HIVE_HEAD
     "[Software\\\\VB and VBA Program Settings]\n#link\n"
     "\"SymbolicLinkValue\"=hex(6):@LINK(Software\\Elsewhere)@\n" KELDO_HIVE_KEY
     "\"PkgNbr\"=\"1\"\n[Software\\\\Elsewhere\\\\Keldo6\\\\ThisPC]\n\"PkgNbr\"=\"2\"\n",
     kWineHiveKey, u"PkgNbr", "1:32,00,00,00"},
    {"LinkMarkedAfterItsValue",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY
     "\"SymbolicLinkValue\"=hex(6):@LINK(Software\\Elsewhere)@\n#link\n"
     "[Software\\\\Elsewhere]\n\"PkgNbr\"=\"2\"\n",
     kWineHiveKey, u"PkgNbr", "1:32,00,00,00"},
    {"LinkToItself",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY
     "#link\n\"SymbolicLinkValue\"=hex(6):@LINK(Software\\VB and VBA Program "
     "Settings\\Keldo6\\ThisPC)@\n\"PkgNbr\"=\"1\"\n",
     kWineHiveKey, u"PkgNbr", "absent"},
    {"LinkWithoutTarget", KELDO_HIVE_HEAD KELDO_HIVE_KEY "#link\n\"PkgNbr\"=\"1\"\n", kWineHiveKey,
     u"PkgNbr", "absent"},
    {"LinkToNothing",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY
     "#link\n\"SymbolicLinkValue\"=hex(6):@LINK(Software\\Nowhere)@\n\"PkgNbr\"=\"1\"\n",
     kWineHiveKey, u"PkgNbr", "absent"},
    // Wine follows at most 32 links in one opening: the settings key's own
    // and 31 more.
    {"LinkChainOf32",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY
     "#link\n\"SymbolicLinkValue\"=hex(6):@LINK(Software\\L1)@\n@CHAIN(31)@"
     "[Software\\\\Elsewhere]\n\"PkgNbr\"=\"2\"\n",
     kWineHiveKey, u"PkgNbr", "1:32,00,00,00"},
    {"LinkChainOf33",
     KELDO_HIVE_HEAD KELDO_HIVE_KEY
     "#link\n\"SymbolicLinkValue\"=hex(6):@LINK(Software\\L1)@\n@CHAIN(32)@"
     "[Software\\\\Elsewhere]\n\"PkgNbr\"=\"2\"\n",
     kWineHiveKey, u"PkgNbr", "absent"},
};

#undef KELDO_HIVE_HEAD
#undef KELDO_HIVE_KEY

// A case's file for a hive loaded at `root` (such as
// \Registry\User\S-1-5-21-0-0-0-1000), its markers replaced.
inline std::string WineHiveText(const WineHiveCase& c, std::u16string_view root) {
  const std::string_view text = c.text;
  std::string out;
  char byte[8];
  auto unitBytes = [&](char16_t unit) {
    std::snprintf(byte, sizeof byte, "%02x,%02x", unit & 0xFF, unit >> 8);
    if (!out.empty() && out.back() != ':') out += ',';
    out += byte;
  };
  auto linkTo = [&](std::string_view path) {
    for (const char16_t unit : root) unitBytes(unit);
    unitBytes(u'\\');
    for (const char unit : path) unitBytes(static_cast<char16_t>(static_cast<unsigned char>(unit)));
  };
  for (std::size_t at = 0; at < text.size();) {
    if (text.compare(at, 5, "@NUL@") == 0) {
      out.push_back('\0');
      at += 5;
    } else if (text.compare(at, 5, "@PAD@") == 0) {
      out.append(1024 * 1024 + 16, ' ');
      at += 5;
    } else if (text.compare(at, 7, "@CHAIN(") == 0) {
      const std::size_t end = text.find(")@", at);
      const int links = std::stoi(std::string(text.substr(at + 7, end - at - 7)));
      for (int i = 1; i <= links; ++i) {
        const std::string next =
            i < links ? "Software\\L" + std::to_string(i + 1) : "Software\\Elsewhere";
        out += "[Software\\\\L" + std::to_string(i) + "]\n#link\n\"SymbolicLinkValue\"=hex(6):";
        linkTo(next);
        out += "\n";
      }
      at = end + 2;
    } else if (text.compare(at, 6, "@LINK(") == 0) {
      const std::size_t end = text.find(")@", at);
      linkTo(text.substr(at + 6, end - at - 6));
      at = end + 2;
    } else {
      out.push_back(text[at++]);
    }
  }
  return out;
}

// An answer in the table's form.
inline std::string WineHiveAnswer(unsigned long type, const unsigned char* data, std::size_t size) {
  std::string answer = std::to_string(type) + ":";
  char byte[4];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : ",%02x", data[i]);
    answer += byte;
  }
  return answer;
}

}  // namespace keldo
