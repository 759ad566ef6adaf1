// Version lines to version numbers.
#include <gtest/gtest.h>

#include "version/version_number.h"

namespace keldo {

namespace {

TEST(VersionNumber, Table) {
  const struct {
    const char16_t* text;
    std::int32_t number;
  } cases[] = {
      {u"v6.3.215 01/12/2024", 63215},
      {u"   v6.3.215 01/12/2024   ", 63215},
      {u"V6.3.215 01/12/2024", 0},
      {u"v6.3.215", 0},
      {u"v6.3.2 2024", 0},
      {u"v6.3.21 2024", 6321},
      {u"v6.3.2150000", 0},
      {u"v6.32.15 01/12/2024", 63215},
      {u"v6.3.215 1.12.2024", 63215},
      {u"v6.3.215  01/12/2024 ", 63215},
      {u"v 6.3.215 01/12/2024", 0},
      {u"v6.3.215b 01/12/2024", 0},
      {u"v6.3.215\t01/12/2024", 0},
      {u"v9.9.99999999 01/12/2024", 0},
      {u"v2147483647 x", 2147483647},
      {u"v2147483648 x", 0},
      {u"v-2147483648 x", -2147483647 - 1},
      {u"v-1.0.0 01/12/2024", -100},
      {u"v+1.0.0 01/12/2024", 100},
      {u"v10.0.1 2025", 1001},
      {u"v0006.3.215 2024", 63215},
      {u"v6.3.215/2 2024", 0},
      {u"\tv6.3.215 01/12/2024", 0},
      {u"v6.3.215 01/12/2024\r\n", 63215},
      {u"v\uff16.3.215 01/12/2024", 0},  // a full-width digit is no digit
      {u"v6.3.215 \u00e9t\u00e9 \U0001F600", 63215},
      {u"v-.- 01/12/2024", 0},
      {u"error", 0},
      {u"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(VersionNumber(c.text), c.number) << ToUtf8(c.text);
}

TEST(RemoveChars, Table) {
  const struct {
    const char16_t* text;
    const char16_t* set;
    const char16_t* result;
  } cases[] = {
      {u"v6.3.215 01/12/2024", u"v.", u"63215 01/12/2024"},
      {u"V6.3", u"v.", u"V63"},
      {u"", u"v.", u""},
      {u"v6.3", u"", u"v6.3"},
      {u"v6.3", u"..vv", u"63"},
      {u"\u00e9t\u00e9 \U0001F600!", u"\u00e9!", u"t \U0001F600"},
  };
  for (const auto& c : cases) EXPECT_EQ(RemoveChars(c.text, c.set), c.result) << ToUtf8(c.text);
}

}  // namespace

}  // namespace keldo
