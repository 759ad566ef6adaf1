#pragma once
// Remembered paths with characters outside code page 1252, as the ANSI
// registry calls hand them out: Windows' best fit, the byte a page leaves
// undefined for the character of the same value, else '?', one per UTF-16
// unit. One table for the Linux layer and for Wine itself (the Wine suite
// stores each text with RegSetValueExW and reads it with RegQueryValueExA).
#include <string>

namespace keldo {

struct AnsiBestFitCase {
  const char* name;
  const char16_t* text;
  std::string ansi;  // in code page 1252, without the NUL
};

inline const AnsiBestFitCase kAnsiBestFitCases[] = {
    {"AMacron", u"\\\\srv\\\u0100b", "\\\\srv\\Ab"},
    {"FullwidthBackslash", u"\\\\srv\\a\uff3cb", "\\\\srv\\a\\b"},
    {"UndefinedByte81", u"\\\\srv\\a\u0081b",
     "\\\\srv\\a\x81"
     "b"},
    {"UndefinedByte9D", u"\\\\srv\\\u009d", "\\\\srv\\\x9d"},
    {"LStroke", u"\\\\srv\\\u0141\u00f3d\u017a",
     "\\\\srv\\L\xf3"
     "dz"},
    {"MinusSign", u"\\\\srv\\a\u2212b", "\\\\srv\\a-b"},
    {"FullwidthA", u"\\\\srv\\\uff21", "\\\\srv\\A"},
    {"IdeographicSpace", u"\\\\srv\\a\u3000b", "\\\\srv\\a b"},
    {"GreekPi", u"\\\\srv\\\u03c0", "\\\\srv\\p"},
    {"Infinity", u"\\\\srv\\\u221e", "\\\\srv\\8"},
    {"EuroAndQuote", u"\\\\srv\\\u20ac\u2018", "\\\\srv\\\x80\x91"},
    {"NoFormAtAll", u"\\\\srv\\\u263a\u0394", "\\\\srv\\??"},
    {"SurrogatePairIsTwoUnits", u"\\\\srv\\\U0001f600", "\\\\srv\\??"},
    {"LoneSurrogate", u"\\\\srv\\\xd800z", "\\\\srv\\?z"},
};

}  // namespace keldo
