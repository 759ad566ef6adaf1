// The web client's address rules: https only, redirects resolved and
// limited; and the folders that EnsureFolder makes.
#include <gtest/gtest.h>

#include "base/text.h"
#include "base/website_paths.h"
#include "platform/windows/files/file_tool.h"
#include "platform/windows/web/web_address.h"

namespace keldo {

namespace {

struct AddressCase {
  const char16_t* address;
  const char16_t* host;  // null: rejected
  unsigned short port;
  const char16_t* path;
};

TEST(ParseHttpsAddress, AcceptsHttpsOnly) {
  const AddressCase cases[] = {
      {u"https://www.keldo.example" KELDO_SUPPORT_CHECK_PATH, u"www.keldo.example", 443,
       kSupportCheckPath},
      {u"HTTPS://h:8443/a?b=1", u"h", 8443, u"/a?b=1"},
      {u"https://h", u"h", 443, u"/"},
      {u"https://h?20241201093015", u"h", 443, u"/?20241201093015"},
      {u"https://[::1]:444/p", u"::1", 444, u"/p"},
      {u"https://h/p#part", u"h", 443, u"/p"},
      {u"http://h/", nullptr, 0, nullptr},
      {u"ftp://h/", nullptr, 0, nullptr},
      {u"https://", nullptr, 0, nullptr},
      {u"https:///p", nullptr, 0, nullptr},
      {u"https://user:secret@h/", nullptr, 0, nullptr},
      {u"https://h:0/", nullptr, 0, nullptr},
      {u"https://h:65536/", nullptr, 0, nullptr},
      {u"https://h:44x/", nullptr, 0, nullptr},
      {u"https://[::1/", nullptr, 0, nullptr},
      {u"//h/p", nullptr, 0, nullptr},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseHttpsAddress(c.address);
    SCOPED_TRACE(ToUtf8(c.address));
    ASSERT_EQ(parsed.has_value(), c.host != nullptr);
    if (!parsed) continue;
    EXPECT_EQ(parsed->host, c.host);
    EXPECT_EQ(parsed->port, c.port);
    EXPECT_EQ(parsed->pathAndQuery, c.path);
  }
}

TEST(ResolveLocation, FollowsTheRulesOfRelativeAddresses) {
  const Text base = u"https://a.example/dl/keldo63version.dat?20241201093015";
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"https://b.example/x", u"https://b.example/x"},
      {u"http://a.example/x", u"http://a.example/x"},  // refused later, not rewritten
      {u"//c.example/y", u"https://c.example/y"},
      {u"/root", u"https://a.example/root"},
      {u"other.dat", u"https://a.example/dl/other.dat"},
      {u"?1", u"https://a.example/dl/keldo63version.dat?1"},
  };
  for (const auto& [location, expected] : cases) {
    EXPECT_EQ(ResolveLocation(base, location), expected) << ToUtf8(location);
  }
  EXPECT_EQ(ResolveLocation(u"https://a.example", u"x"), u"https://a.example/x");
}

TEST(Redirects, OnlyTheFiveRedirectStatusesAndPostsBecomeGets) {
  for (const unsigned long status : {301ul, 302ul, 303ul, 307ul, 308ul})
    EXPECT_TRUE(IsRedirectStatus(status));
  for (const unsigned long status : {200ul, 300ul, 304ul, 305ul, 404ul})
    EXPECT_FALSE(IsRedirectStatus(status));
  EXPECT_EQ(MethodAfterRedirect(301, L"POST"), L"GET");
  EXPECT_EQ(MethodAfterRedirect(302, L"POST"), L"GET");
  EXPECT_EQ(MethodAfterRedirect(303, L"POST"), L"GET");
  EXPECT_EQ(MethodAfterRedirect(307, L"POST"), L"POST");
  EXPECT_EQ(MethodAfterRedirect(308, L"POST"), L"POST");
  EXPECT_EQ(MethodAfterRedirect(302, L"GET"), L"GET");
}

TEST(FolderChain, MakesEveryFolderBelowTheRootInOrder) {
  using Chain = std::vector<Text>;
  const std::pair<const char16_t*, Chain> cases[] = {
      {u"D:\\Keldo6\\LATEST_PROGS\\", {u"D:\\Keldo6", u"D:\\Keldo6\\LATEST_PROGS"}},
      {u"\\\\srv\\share\\a\\b\\", {u"\\\\srv\\share\\a", u"\\\\srv\\share\\a\\b"}},
      {u"D:\\", {}},
      {u"\\\\srv\\share\\", {}},
      {u"D:\\a\\\\b\\", {u"D:\\a", u"D:\\a\\\\b"}},
      {u"rel\\x\\", {u"rel", u"rel\\x"}},
  };
  for (const auto& [folder, chain] : cases) EXPECT_EQ(FolderChain(folder), chain) << ToUtf8(folder);
}

}  // namespace

}  // namespace keldo
