// Text helpers: positions and trimming in UTF-16 code units, and the
// conversions at the ports.
#include <string>

#include <gtest/gtest.h>

#include "base/text.h"

namespace keldo {

namespace {

TEST(Text, PositionsTrimmingAndNumbers) {
  EXPECT_EQ(InStr(u"Expired=0 expires: x", u" expires:"), 10);
  EXPECT_EQ(InStr(u"expired=", u"Expired="), 0);
  EXPECT_EQ(InStr(u"\U0001F600x", u"x"), 3);  // code units, not characters
  EXPECT_EQ(TrimBlanks(u"  a b  "), u"a b");
  EXPECT_EQ(TrimBlanks(u"\t a \r\n"), u"\t a \r\n");
  EXPECT_EQ(TrimBlanks(u"\u00a0a\u00a0"), u"\u00a0a\u00a0");
  EXPECT_EQ(TrimBlanks(u"   "), u"");
  EXPECT_EQ(DecimalText(-2147483648LL), u"-2147483648");
  EXPECT_EQ(DecimalText(1234567), u"1234567");
}

TEST(Text, Utf8RoundTripsAndReplacesIllFormedInput) {
  for (const Text& text :
       {Text(u"abc"), Text(u"\u00e9\u20ac"), Text(u"\U0001F600"), Text(u"\uffff\u0800")}) {
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  }
  EXPECT_EQ(ToUtf8(u"\u00e9\U0001F600"), "\xc3\xa9\xf0\x9f\x98\x80");
  EXPECT_EQ(ToUtf8(Text(1, static_cast<char16_t>(0xD800))), "\xef\xbf\xbd");
  for (const std::string bytes : {"a\xff", "\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xe2\x82"}) {
    const Text got = FromUtf8(bytes + "!");
    EXPECT_NE(got.find(u'\ufffd'), Text::npos) << bytes;
    EXPECT_EQ(got.back(), u'!') << bytes;
  }
}

TEST(Text, Utf8EachBrokenSequenceIsOneReplacementAndTheNextByteIsKept) {
  const struct {
    const char* name;
    std::string bytes;
    Text text;
  } cases[] = {
      {"latin1_letter_before_line_end", "31/12/2027 \xf6\r\n", u"31/12/2027 \ufffd\r\n"},
      {"latin1_letters_at_the_end", "K\xf6ln \xe9\xf6", u"K\ufffdln \ufffd\ufffd"},
      {"cut_three_byte_sequence_at_the_end", "a\xe2\x82", u"a\ufffd"},
      {"cut_four_byte_sequence_before_text", "\xf0\x9f\x98!", u"\ufffd!"},
      {"cut_sequence_before_a_whole_one", "\xe1\x80\xe2\x82\xac", u"\ufffd\u20ac"},
      {"lead_byte_before_a_lead_byte", "\xc3\xc3\xa9", u"\ufffd\u00e9"},
      {"overlong_two_bytes", "\xc0\xaf", u"\ufffd\ufffd"},
      {"overlong_three_bytes", "\xe0\x80\xaf", u"\ufffd\ufffd\ufffd"},
      {"surrogate", "\xed\xa0\x80x", u"\ufffd\ufffd\ufffdx"},
      {"past_the_last_code_point", "\xf4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"},
      {"bytes_that_never_occur", "\xfe\xff\xf8\x88\x80\x80\x80", Text(7, u'\ufffd')},
      {"lone_continuation_bytes", "\x80\xbf", u"\ufffd\ufffd"},
      {"nul_is_a_character", std::string("a\0\xf6", 3), Text(u"a\0\ufffd", 3)},
      {"largest_code_point", "\xf4\x8f\xbf\xbf", u"\U0010FFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FromUtf8(c.bytes), c.text) << c.name;
  }
}

TEST(Text, Windows1252HighBytes) {
  EXPECT_EQ(FromWindows1252("\x80\x8a\x9f\xa0\xe9\xff"
                            "a"),
            u"\u20ac\u0160\u0178\u00a0\u00e9\u00ffa");
  EXPECT_EQ(FromWindows1252("\x81\x8d\x8f\x90\x9d"), u"\u0081\u008d\u008f\u0090\u009d");
}

}  // namespace

}  // namespace keldo
