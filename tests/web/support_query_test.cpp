// The support query: the form it posts and how the answer's two markers are
// read.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/website_paths.h"
#include "checks/check_run.h"
#include "support/case_name.h"
#include "support/rig.h"
#include "web/support_query.h"

namespace keldo {

namespace {

using Log = std::vector<std::string>;
const Log kReadable = {"screen: 0"};
const Log kUnreadable = {"box: Could not read from website", "screen: 0"};

struct AnswerCase {
  const char* name;
  std::int32_t lastCallOK;
  const char16_t* reply;
  const char16_t* webExpiry;
  Log log;
};

const AnswerCase kAnswers[] = {
    {"ExpiryTextWithLineEnd", 1, u"K-1001\nExpired=0\n expires: 31/12/2025\r\n", u" 31/12/2025\r\n",
     kReadable},
    {"ExpiresMarkerAtPositionOne", 1, u" expires: 31/12/2025 Expired=0", u"", kReadable},
    {"NoExpiresMarker", 1, u"Expired=1", u"", kReadable},
    {"EndsWithExpiresMarker", 1, u"Expired=0 expires:", u"", kReadable},
    {"FirstExpiresMarkerCounts", 1, u"Expired=0 expires: A expires: B", u" A expires: B",
     kReadable},
    {"OtherCaseExpiresMarker", 1, u"Expired=0 Expires: 31/12/2025", u"", kReadable},
    {"NonAscii", 1, u"Expired=0 expires: 31.12.2025 \u2013 l\u00e4uft \U0001F600",
     u" 31.12.2025 \u2013 l\u00e4uft \U0001F600", kReadable},
    {"LowerCaseReadableMarker", 1, u"expired=0 expires: 31/12/2025", u"", kUnreadable},
    {"EmptyBody", 1, u"", u"", kUnreadable},
    {"ErrorPage", 1, u"<h1>404 Not Found</h1>", u"", kUnreadable},
    {"NoAnswer", 0, u"Expired=0 expires: 31/12/2025", u"", {}},
};

class SupportAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(SupportAnswer, SetsWebExpiryFromTheMarkers) {
  auto rig = Rig::Ordinary();
  MainCheck& window = rig->Start();
  CheckState state;
  state.SerialNbr = u"K-1001";
  state.WebExpiry = u"left from an earlier run";
  rig->web.submitOK = GetParam().lastCallOK;
  rig->web.replyText = GetParam().reply;
  CheckRun(rig->ports, kWebsite, state, window).AskWebsiteForExpiry();
  EXPECT_EQ(state.WebExpiry, GetParam().webExpiry);
  EXPECT_EQ(rig->view.log, GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(Answers, SupportAnswer, testing::ValuesIn(kAnswers), CaseName());

TEST(SupportQuery, PostsSerialAndEmptyCompanyInOrder) {
  auto rig = Rig::Ordinary();
  MainCheck& window = rig->Start();
  CheckSupportOnWeb(rig->web, kWebsite, u" K 1001 ", u"", window);
  ASSERT_EQ(rig->web.submits.size(), 1u);
  EXPECT_EQ(rig->web.submits[0].first, Text(kWebsite) + kSupportCheckPath);
  const std::vector<std::pair<Text, Text>> fields = {{u"serialnbr", u" K 1001 "},
                                                     {u"company", u""}};
  EXPECT_EQ(rig->web.submits[0].second.Fields(), fields);
  EXPECT_EQ(rig->web.clientsMade, 1);
}

}  // namespace

}  // namespace keldo
