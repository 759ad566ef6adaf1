// The form body and the download's time stamp.
#include <string>

#include <gtest/gtest.h>

#include "base/form_fields.h"
#include "web/time_stamp.h"

namespace keldo {

namespace {

TEST(EncodeForm, EncodesEveryFieldInOrder) {
  const struct {
    const char16_t* serial;
    const char16_t* company;
    const char* body;
  } cases[] = {
      {u"K-1001", u"", "serialnbr=K-1001&company="},
      {u"A b", u"x&y=z", "serialnbr=A+b&company=x%26y%3Dz"},
      {u"*-._~+/", u"%", "serialnbr=*-._%7E%2B%2F&company=%25"},
      {u"M\u00fcller \u20ac", u"\U0001F600",
       "serialnbr=M%C3%BCller+%E2%82%AC&company=%F0%9F%98%80"},
      {u"\r\n", u"", "serialnbr=%0D%0A&company="},
  };
  for (const auto& c : cases) {
    FormFields fields;
    fields.AppendField(u"serialnbr", c.serial);
    fields.AppendField(u"company", c.company);
    EXPECT_EQ(EncodeForm(fields), c.body);
  }
  EXPECT_EQ(EncodeForm(FormFields()), "");
}

TEST(TimeStamp, FourteenZeroPaddedDigits) {
  EXPECT_EQ(TimeStamp({2024, 12, 1, 9, 30, 15}), u"20241201093015");
  EXPECT_EQ(TimeStamp({2025, 1, 2, 0, 0, 0}), u"20250102000000");
  EXPECT_EQ(TimeStamp({1999, 12, 31, 23, 59, 59}), u"19991231235959");
}

}  // namespace

}  // namespace keldo
