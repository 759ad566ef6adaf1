// The web client's failures are results, never exceptions, and they carry
// WinHTTP's own code. (Answers from a real server are the stand-in website's
// tests.)
#include <gtest/gtest.h>

#include "base/website_paths.h"
#include "platform/windows/web/web_client.h"
#include "windows/platform_fixture.h"

namespace keldo {

namespace {

// Nothing listens on port 1 of the loopback address.
const Text kRefused = u"https://localhost:1/downloads/keldo63version.dat?20241201093015";

TEST(WinHttpClient, AnUnreachableServerIsAFailedDownload) {
  const std::wstring target = NewTestFolder() + L"temp_vers.dat";
  WriteBytes(target, "earlier");
  WinHttpClient client;
  EXPECT_NE(client.FetchToFile(kRefused, AsText(target)), 1);
  EXPECT_EQ(client.LastCallOK(), 0);
  EXPECT_NE(client.FailureText().find(u" (12029)"), Text::npos) << ToUtf8(client.FailureText());
  EXPECT_EQ(ReadBytes(target), "earlier");
}

TEST(WinHttpClient, AnUnreachableServerGivesNoAnswerToAForm) {
  FormFields fields;
  fields.AppendField(u"serialnbr", u"K6-00042");
  fields.AppendField(u"company", u"");
  WinHttpClient client;
  const auto reply = client.SubmitForm(u"https://localhost:1" KELDO_SUPPORT_CHECK_PATH, fields);
  ASSERT_NE(reply, nullptr);
  EXPECT_EQ(client.LastCallOK(), 0);
  EXPECT_EQ(reply->ReplyText(), u"");
  EXPECT_FALSE(client.FailureText().empty());
}

TEST(WinHttpClient, PlainHttpIsNeverUsed) {
  const std::wstring target = NewTestFolder() + L"temp_vers.dat";
  WinHttpClient client;
  EXPECT_NE(client.FetchToFile(u"http://localhost:1/keldo63version.dat", AsText(target)), 1);
  EXPECT_NE(client.FailureText().find(u"12006"), Text::npos) << ToUtf8(client.FailureText());
  EXPECT_FALSE(Exists(target));
}

}  // namespace

}  // namespace keldo
