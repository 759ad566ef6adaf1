// Text helpers: positions, trimming, numbers and the conversions at the
// ports.
#include <string>

#include <gtest/gtest.h>

#include "app/text.h"

namespace {

TEST(InStr, OneBasedCaseSensitivePositions) {
  EXPECT_EQ(InStr(u"Expired=0 expires: x", u" expires:"), 10);
  EXPECT_EQ(InStr(u"Expired=", u"Expired="), 1);
  EXPECT_EQ(InStr(u"expired=", u"Expired="), 0);
  EXPECT_EQ(InStr(u"", u"x"), 0);
  EXPECT_EQ(InStr(u"\U0001F600x", u"x"), 3);  // code units, not characters
}

TEST(TrimBlanks, RemovesOnlyU0020) {
  EXPECT_EQ(TrimBlanks(u"  a b  "), u"a b");
  EXPECT_EQ(TrimBlanks(u"\t a \r\n"), u"\t a \r\n");
  EXPECT_EQ(TrimBlanks(u"\u00a0a\u00a0"), u"\u00a0a\u00a0");
  EXPECT_EQ(TrimBlanks(u"   "), u"");
  EXPECT_EQ(TrimBlanks(u""), u"");
}

TEST(DecimalText, PlainDigits) {
  EXPECT_EQ(DecimalText(0), u"0");
  EXPECT_EQ(DecimalText(63215), u"63215");
  EXPECT_EQ(DecimalText(-2147483648LL), u"-2147483648");
  EXPECT_EQ(DecimalText(1234567), u"1234567");
}

TEST(Utf8, RoundTripsAndReplacesIllFormedInput) {
  const Text samples[] = {u"", u"abc", u"\u00e9\u20ac", u"\U0001F600", u"\uffff\u0800"};
  for (const Text& text : samples) EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"\u00e9\U0001F600"), "\xc3\xa9\xf0\x9f\x98\x80");
  const struct {
    std::string bytes;
    Text text;
  } illFormed[] = {
      {"a\xff" "b", u"a\ufffdb"},
      {"\xc3", u"\ufffd"},
      {"\xc0\xaf", u"\ufffd\ufffd"},          // overlong
      {"\xed\xa0\x80", u"\ufffd\ufffd\ufffd"},  // a surrogate
      {"\xe2\x82" "A", u"\ufffdA"},
  };
  for (const auto& c : illFormed) {
    const Text got = FromUtf8(c.bytes);
    EXPECT_NE(got.find(u'\ufffd'), Text::npos) << c.bytes;
    EXPECT_EQ(got.back(), c.text.back()) << c.bytes;
  }
  EXPECT_EQ(ToUtf8(Text(1, static_cast<char16_t>(0xD800))), "\xef\xbf\xbd");
}

TEST(Windows1252, HighBytes) {
  EXPECT_EQ(FromWindows1252("\x80\x8a\x9f\xa0\xe9\xff" "a"), u"\u20ac\u0160\u0178\u00a0\u00e9\u00ffa");
  EXPECT_EQ(FromWindows1252("\x81\x8d\x8f\x90\x9d"), u"\u0081\u008d\u008f\u0090\u009d");
  EXPECT_EQ(FromWindows1252(std::string("a\0b", 3)), Text(u"a\0b", 3));
}

}  // namespace
