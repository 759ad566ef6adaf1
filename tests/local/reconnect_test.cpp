// Re-mapping remembered network drives: the registry reads, the command
// lines and which letters get one.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "local/reconnect.h"
#include "support/case_name.h"
#include "support/fake_local.h"

namespace keldo {

namespace {

using Calls = std::vector<std::string>;

struct RemotePathCase {
  const char* name;
  bool keyExists;
  FakeRegistry::Value value;
  const char16_t* expected;
  Calls calls;
};

const Calls kShape = {"open Network\\F", "size RemotePath 0", "data RemotePath 14", "close"};

const RemotePathCase kRemotePaths[] = {
    {"Ordinary",
     true,
     {1, std::string("\\\\server\\data\0", 14), 0, true},
     u"\\\\server\\data",
     kShape},
    {"NoKey", false, {}, u"nothing", {"open Network\\F"}},
    {"NoValue",
     true,
     {1, "", 0, false},
     u"nothing",
     {"open Network\\F", "size RemotePath 0", "close"}},
    {"ZeroSize",
     true,
     {1, "", 0, true},
     u"nothing",
     {"open Network\\F", "size RemotePath 0", "close"}},
    {"EmptyText",
     true,
     {1, std::string(1, '\0'), 0, true},
     u"",
     {"open Network\\F", "size RemotePath 0", "data RemotePath 1", "close"}},
    {"GrewBetweenQueries",
     true,
     {1, std::string("\\\\server\\data\0", 14), 4, true},
     u"nothing",
     kShape},
    {"BinaryWithoutNul",
     true,
     {3, "\\\\srv\\x", 0, true},
     u"\\\\srv\\",
     {"open Network\\F", "size RemotePath 0", "data RemotePath 7", "close"}},
    {"TrailingNuls",
     true,
     {1, std::string("\\\\fs\\keldo\0\0\0\0\0", 15), 0, true},
     u"\\\\fs\\keldo",
     {"open Network\\F", "size RemotePath 0", "data RemotePath 15", "close"}},
    {"NulBeforeLeftovers",
     true,
     {1, std::string("\\\\fs\\k\0old\\longer\0", 18), 0, true},
     u"\\\\fs\\k",
     {"open Network\\F", "size RemotePath 0", "data RemotePath 18", "close"}},
    {"AnsiBytes",
     true,
     {1, std::string("\\\\s\xe9rver\\d\x80ta\0", 14), 0, true},
     u"\\\\s\u00e9rver\\d\u20acta",
     kShape},
};

class RemotePath : public testing::TestWithParam<RemotePathCase> {};

TEST_P(RemotePath, KeepsTheSizeQueryDataQueryShape) {
  FakeRegistry registry;
  if (GetParam().keyExists) registry.keys["Network\\F"] = GetParam().value;
  EXPECT_EQ(GetRemotePath(registry, u"F"), GetParam().expected);
  EXPECT_EQ(registry.calls, GetParam().calls);
  EXPECT_EQ(registry.openKeys, 0);
}

INSTANTIATE_TEST_SUITE_P(Values, RemotePath, testing::ValuesIn(kRemotePaths), CaseName());

TEST(NetworkKeyPath, PutsNetworkBeforeAnyLetter) {
  EXPECT_EQ(NetworkKeyPath(u""), u"");
  EXPECT_EQ(NetworkKeyPath(u"F"), u"Network\\F");
  EXPECT_EQ(NetworkKeyPath(u"f"), u"Network\\f");
  EXPECT_EQ(NetworkKeyPath(u"AB"), u"Network\\AB");
}

TEST(CanCarryRemotePath, CarriesEveryPathButOneHoldingNul) {
  const struct {
    Text path;
    bool carried;
  } cases[] = {
      {u"\\\\server\\my data\\", true},      {u"\\\\server\\a\"b", true},
      {u"\\\\server\\a\r\x1b[2Jb", true},    {u"\\\\server\\a\tb", true},
      {u"\\\\server\\a\u0085\u00a0b", true}, {Text(u"\\\\server\\a\0b", 12), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CanCarryRemotePath(c.path), c.carried) << ToUtf8(c.path);
  }
}

TEST(ReconnectDrives, MapsEveryRememberedUncPathInLetterOrder) {
  FakeRegistry registry;
  registry.SetText("Network\\H", "\\\\h\\share");
  registry.SetText("Network\\F", "\\\\f\\my data");
  registry.SetText("Network\\G", "G:\\local");
  registry.SetText("Network\\K", "//k/share");
  registry.SetText("Network\\M", "\\\\m\\a\"b");
  registry.SetText("Network\\P", "\\\\p\\share");
  registry.SetText("Network\\Z", "\\\\z\\share");
  registry.SetText("Network\\T", "\\\\t\\a\tb\x01");
  FakeMapper mapper;
  mapper.throwFor = {u"P"};
  RecordedDebug debug;
  EXPECT_EQ(ReconnectDrives(registry, mapper, debug), 5);

  const std::vector<std::pair<Text, Text>> expected = {{u"F", u"\\\\f\\my data"},
                                                       {u"H", u"\\\\h\\share"},
                                                       {u"M", u"\\\\m\\a\"b"},
                                                       {u"T", u"\\\\t\\a\tb\x01"},
                                                       {u"Z", u"\\\\z\\share"}};
  EXPECT_EQ(mapper.started, expected);
  // The one that could not be started says so, naming its command and why.
  EXPECT_EQ(debug.lines,
            std::vector<std::string>{"Starting net use P: \\\\p\\share failed: The system "
                                     "cannot find the file specified. (2)"});
  EXPECT_TRUE(mapper.waits.empty());
  Calls opens, expectedOpens;
  for (const auto& call : registry.calls) {
    if (call.rfind("open ", 0) == 0) opens.push_back(call);
  }
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    expectedOpens.push_back(std::string("open Network\\") + letter);
  EXPECT_EQ(opens, expectedOpens);
  EXPECT_EQ(registry.openKeys, 0);
}

TEST(MapDrive, PassesOverOnlyAPathNoCommandLineCanCarry) {
  FakeMapper mapper;
  RecordedDebug debug;
  EXPECT_FALSE(MapDrive(mapper, u"F", Text(u"\\\\s\\a\0b", 8), debug));
  EXPECT_TRUE(MapDrive(mapper, u"G", u"\\\\s\\a\"b", debug));
  EXPECT_EQ(mapper.started, (std::vector<std::pair<Text, Text>>{{u"G", u"\\\\s\\a\"b"}}));
  EXPECT_EQ(debug.lines,
            std::vector<std::string>{
                "Cannot start the re-mapping of drive F: its remembered path holds a NUL"});
}

TEST(AwaitMappings, WaitsAtMostTheBoundAndAFailedWaitOnlySaysSo) {
  FakeMapper mapper;
  RecordedDebug debug;
  mapper.StartMapping(u"F", u"\\\\s\\f");
  mapper.StartMapping(u"H", u"\\\\s\\h");
  AwaitMappings(mapper, debug);
  mapper.failWait = true;
  mapper.StartMapping(u"K", u"\\\\s\\k");
  AwaitMappings(mapper, debug);
  using std::chrono::milliseconds;
  EXPECT_EQ(mapper.waits, (std::vector<std::pair<milliseconds, std::size_t>>{
                              {milliseconds(30000), 2}, {milliseconds(30000), 1}}));
  EXPECT_EQ(debug.lines, std::vector<std::string>{"Waiting for the re-mapping commands failed: The "
                                                  "handle is invalid. (6)"});
}

}  // namespace

}  // namespace keldo
