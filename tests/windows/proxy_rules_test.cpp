// Which proxy a request goes through: the order of preference, WinHTTP's
// proxy and bypass lists, and which 407 may be answered with the user's own
// logon.
#include <gtest/gtest.h>

#include <windows.h>
#include <winhttp.h>

#include "platform/windows/text/wide_text.h"
#include "platform/windows/web/proxy_rules.h"
#include "platform/windows/web/web_proxy.h"

namespace keldo {

namespace {

using Kind = ProxyRoute::Kind;

ProxySettings User(const wchar_t* proxy, const wchar_t* bypass = L"") {
  ProxySettings settings;
  settings.userRead = true;
  settings.userProxy = proxy;
  settings.userBypass = bypass;
  return settings;
}

struct RouteCase {
  const char* name;
  ProxySettings settings;
  std::optional<Discovered> discovered;
  Kind kind;
  const wchar_t* proxy;
};

ProxySettings With(ProxySettings settings, void (*change)(ProxySettings&)) {
  change(settings);
  return settings;
}

TEST(ChooseProxyRoute, FollowsTheOrderOfPreference) {
  const RouteCase cases[] = {
      {"user's proxy as named", User(L"127.0.0.1:8080"), std::nullopt, Kind::Named,
       L"127.0.0.1:8080"},
      {"user's proxy wins over the machine's",
       With(User(L"127.0.0.1:8080"), [](ProxySettings& s) { s.machineProxy = L"machine:80"; }),
       std::nullopt, Kind::Named, L"127.0.0.1:8080"},
      {"user's https entry of a per-scheme list", User(L"http=plain:80;https=secure:8443"),
       std::nullopt, Kind::Named, L"secure:8443"},
      {"user's list with only an http entry goes direct", User(L"http=plain:80"), std::nullopt,
       Kind::Direct, L""},
      {"user's bypass list exempts the host", User(L"proxy:80", L"*.example;<local>"), std::nullopt,
       Kind::Direct, L""},
      {"script's proxy",
       With(User(L""), [](ProxySettings& s) { s.autoConfigUrl = L"http://pac/p.pac"; }),
       Discovered{L"PROXY-A:3128; other:1"}, Kind::Named, L"PROXY-A:3128"},
      {"script says DIRECT",
       With(User(L""), [](ProxySettings& s) { s.autoConfigUrl = L"http://pac/p.pac"; }),
       Discovered{L""}, Kind::Direct, L""},
      {"failed detection falls back to the machine's proxy",
       With(User(L""),
            [](ProxySettings& s) {
              s.autoDetect = true;
              s.machineProxy = L"machine:80";
            }),
       std::nullopt, Kind::Named, L"machine:80"},
      {"machine's proxy when the user has none",
       With(User(L""), [](ProxySettings& s) { s.machineProxy = L"http://machine:80"; }),
       std::nullopt, Kind::Named, L"machine:80"},
      {"machine's bypass list",
       With(User(L""),
            [](ProxySettings& s) {
              s.machineProxy = L"machine:80";
              s.machineBypass = L"www.*";
            }),
       std::nullopt, Kind::Direct, L""},
      {"system's discovery only when the user's settings are unreadable",
       With(ProxySettings{}, [](ProxySettings& s) { s.systemAutomatic = true; }), std::nullopt,
       Kind::SystemAutomatic, L""},
      {"readable settings with nothing set go direct",
       With(User(L""), [](ProxySettings& s) { s.systemAutomatic = true; }), std::nullopt,
       Kind::Direct, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ProxyRoute route = ChooseProxyRoute(c.settings, c.discovered, L"www.keldo.example", 443);
    EXPECT_EQ(route.kind, c.kind);
    EXPECT_EQ(route.proxy, c.proxy);
  }
}

TEST(ChooseProxyRoute, AFixedProxyWinsOverDiscovery) {
  ProxySettings both;
  both.userRead = true;
  both.autoDetect = true;
  both.autoConfigUrl = L"http://wpad/proxy.pac";
  both.userProxy = L"proxy:8080";
  both.userBypass = L"<local>";
  const Discovered scripted{L"other:3128"};
  auto named = ChooseProxyRoute(both, scripted, L"www.keldo-accounts.example", 443);
  EXPECT_EQ(named.kind, ProxyRoute::Kind::Named);
  EXPECT_EQ(named.proxy, L"proxy:8080");
  EXPECT_EQ(ChooseProxyRoute(both, scripted, L"intranet", 443).kind, ProxyRoute::Kind::Direct);

  ProxySettings script;
  script.userRead = true;
  script.autoConfigUrl = L"http://wpad/proxy.pac";
  EXPECT_TRUE(script.Discovers());
  EXPECT_EQ(ChooseProxyRoute(script, scripted, L"a.example", 443).proxy, L"other:3128");

  ProxySettings detect;
  detect.userRead = true;
  detect.autoDetect = true;
  EXPECT_TRUE(detect.Discovers());
  EXPECT_EQ(ChooseProxyRoute(detect, std::nullopt, L"a.example", 443).kind,
            ProxyRoute::Kind::Direct);

  ProxySettings none;
  none.userRead = true;
  EXPECT_FALSE(none.Discovers());
  EXPECT_EQ(ChooseProxyRoute(none, std::nullopt, L"a.example", 443).kind, ProxyRoute::Kind::Direct);
}

TEST(BypassesProxy, WinHttpBypassListRules) {
  const struct {
    const wchar_t* list;
    const wchar_t* host;
    bool bypassed;
  } cases[] = {
      {L"<local>", L"intranet", true},
      {L"<local>", L"www.keldo.example", false},
      {L"*.keldo.example", L"WWW.Keldo.Example", true},
      {L"*.keldo.example", L"keldo.example", false},
      {L"10.*; 127.0.0.1", L"127.0.0.1", true},
      {L"www.keldo.example:443", L"www.keldo.example", true},
      {L"www.keldo.example:8443", L"www.keldo.example", false},
      {L"http://www.keldo.example", L"www.keldo.example", false},
      {L"https://www.keldo.example", L"www.keldo.example", true},
      {L"", L"www.keldo.example", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BypassesProxy(c.list, c.host, 443), c.bypassed) << ToUtf8(FromWide(c.list));
  }
}

TEST(UserLogonScheme, OnlyNegotiateOrNtlmAskedByTheProxy) {
  const struct {
    const char* name;
    DWORD supported, target, scheme;
  } cases[] = {
      {"negotiate", WINHTTP_AUTH_SCHEME_NEGOTIATE | WINHTTP_AUTH_SCHEME_NTLM,
       WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_NEGOTIATE},
      {"ntlm", WINHTTP_AUTH_SCHEME_NTLM | WINHTTP_AUTH_SCHEME_BASIC, WINHTTP_AUTH_TARGET_PROXY,
       WINHTTP_AUTH_SCHEME_NTLM},
      {"basic needs a password", WINHTTP_AUTH_SCHEME_BASIC, WINHTTP_AUTH_TARGET_PROXY, 0},
      {"digest needs a password", WINHTTP_AUTH_SCHEME_DIGEST, WINHTTP_AUTH_TARGET_PROXY, 0},
      {"the website asking", WINHTTP_AUTH_SCHEME_NTLM, WINHTTP_AUTH_TARGET_SERVER, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(UserLogonScheme(c.supported, c.target), c.scheme) << c.name;
}

}  // namespace

}  // namespace keldo
