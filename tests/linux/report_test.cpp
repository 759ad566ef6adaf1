#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <nlohmann/json.hpp>
#include <sstream>

#include "base/errors.h"
#include "base/findings_text.h"
#include "base/program_version.h"
#include "platform/linux/linux_services.h"
#include "platform/linux/mapper/drive_mapper.h"
#include "report/console_view.h"
#include "report/report.h"
#include "report/report_edge.h"
#include "report/source_commit.h"
#include "report/status_line.h"
#include "support/report_schema.h"
#include "support/sample_installation.h"
#include "support/standin_server.h"
#include "support/test_limits.h"

namespace keldo {

namespace {

constexpr const char* kSettings = kSampleSettings;

struct ReportRun {
  int code = -1;
  std::string out, err;
};

class ReportTest : public ::testing::Test {
 protected:
  ReportTest() {
    prefix_.WriteUserReg(kSettings);
    prefix_.WriteSystemReg("[Software\\\\Wine\\\\Drives] 1733650000\n\"f:\"=\"network\"\n");
  }

  void InstallOn(const std::string& driveFolder, bool latestProgs = true) {
    InstallProductFiles(prefix_, driveFolder, latestProgs);
  }

  ReportRun Run(const std::string& website, std::vector<std::string> args = {}) {
    factoryCalls_ = 0;
    auto factory = [&]() -> std::unique_ptr<PlatformServices> {
      ++factoryCalls_;
      return MakeLinuxPlatformServices(
          {prefix_.Prefix(), kTestLimits, prefix_.Root() + "/fake-gio"});
    };
    std::ostringstream out, err;
    ReportRun run;
    run.code = RunReport(args, factory, FromUtf8(website), out, err);
    run.out = out.str();
    run.err = err.str();
    if (std::find(args.begin(), args.end(), "--json") != args.end() && run.code != kExitUsage) {
      EXPECT_EQ(ReportSchemaProblems(run.out), "") << run.out;
    }
    return run;
  }

  TempPrefix prefix_;
  int factoryCalls_ = 0;
};

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\n";
  return text;
}

TEST_F(ReportTest, FoundOnDriveD) {
  prefix_.Link("d:", "../drive_d");
  InstallOn("drive_d");
  const ReportRun run = Run(StandinServer::Trusted().Website());
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, Lines({"Serial Number:  " KELDO_SAMPLE_SERIAL,
                            "Version in Latest Progs folder: " KELDO_SAMPLE_LATEST_VERSION_LINE,
                            "Version on website: " KELDO_SAMPLE_WEBSITE_VERSION_NUMBER,
                            "Version on this PC: " KELDO_SAMPLE_INSTALLED_VERSION_NUMBER,
                            "Multi-user version of Keldo",
                            "PC shows support expires: " KELDO_SAMPLE_SUPPORT_EXPIRY_LINE,
                            "Website show your support expires:  " KELDO_SAMPLE_WEBSITE_EXPIRY,
                            "Auto Update:  User turned it OFF", "Keldo Database on Drive: D"}));
  EXPECT_FALSE(
      std::filesystem::exists(prefix_.Root() + "/drive_d/Keldo6/LATEST_PROGS/temp_vers.dat"));
}

TEST_F(ReportTest, FoundOnlyAfterTheRememberedShareIsMounted) {
  // As Wine writes the path, also when it was stored with NULs after it.
  const struct {
    const char* name;
    const char* value;
  } cases[] = {
      {"Plain", "\"\\\\\\\\fileserver\\\\keldo\""},
      {"HexWithTrailingNuls",
       "hex(1):5c,00,5c,00,66,00,69,00,6c,00,65,00,73,00,65,00,72,00,76,00,65,00,72,00,5c,00,\\\n"
       "  6b,00,65,00,6c,00,64,00,6f,00,00,00,00,00,00,00"},
      {"EscapedTrailingNuls", "\"\\\\\\\\fileserver\\\\keldo\\0\\0\\0\\0\""},
  };
  prefix_.Link("f:", "../share");  // the server is down: nothing behind the link yet
  // It takes its time, as a real mount does: the second search must wait
  // for it.
  prefix_.Write(
      "fake-gio",
      "#!/bin/sh\nsleep 0.5; cd \"$(dirname \"$0\")\" && mkdir -p share/Keldo6/GENDATA && "
      ": > share/Keldo6/GENDATA/GeneralKeldo6data.mdb && echo \"$@\" > \"$0.done\"\n");
  std::filesystem::permissions(prefix_.Root() + "/fake-gio", std::filesystem::perms::owner_all);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(prefix_.Root() + "/share");
    std::filesystem::remove(prefix_.Root() + "/fake-gio.done");
    prefix_.WriteUserReg(std::string(kSettings) +
                         "\n[Network\\\\F] 1733650000\n\"RemotePath\"=" + c.value + "\n");

    const ReportRun run = Run(StandinServer::Trusted().Website(), {"--json", "--debug"});
    EXPECT_EQ(run.code, 0) << run.err;
    const auto report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["outcome"], "completed");
    EXPECT_EQ(report["captions"]["lblServer"], "Keldo Database on Drive: F");
    EXPECT_EQ(report["captions"]["lblServerVersion"], "Version in Latest Progs folder: error");
    EXPECT_EQ(report["captions"].size(), 15u);
    EXPECT_EQ(report["messages"], nlohmann::json::array());
    const std::vector<std::string> debug = report["debug"];
    ASSERT_GE(debug.size(), 5u);
    const std::vector<std::string> search(debug.begin(), debug.begin() + 5);
    EXPECT_EQ(search, (std::vector<std::string>{
                          "Looking for Keldo DB on drive: C", "Looking for Keldo DB on drive: F",
                          "Looking for Keldo DB on drive: C", "Looking for Keldo DB on drive: F",
                          "Keldo Data found on Drive: F"}));
    EXPECT_EQ(ReadAll(prefix_.Root() + "/fake-gio.done"), "mount smb://fileserver/keldo\n");
  }
}

// The latest-programs files are read in the prefix's own code page, as the
// Windows program reads them there.
TEST_F(ReportTest, FileLinesInThePrefixCodePage) {
  prefix_.WriteSystemReg(
      "[Software\\\\Wine\\\\Drives] 1733650000\n\"f:\"=\"network\"\n\n"
      "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1733650000\n"
      "\"ACP\"=\"1251\"\n\"OEMCP\"=\"866\"\n");
  prefix_.Link("d:", "../drive_d");
  InstallOn("drive_d");
  prefix_.Write("drive_d/Keldo6/LATEST_PROGS/SupportExpiry.dat", "31/12/2026 \xe4\xee \xb9\r\n");
  const ReportRun run = Run(StandinServer::Trusted().Website(), {"--json"});
  EXPECT_EQ(run.code, 0) << run.err;
  const auto report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["captions"]["lblServerShowsExpires"],
            "PC shows support expires: 31/12/2026 \u0434\u043e \u2116");
}

TEST_F(ReportTest, NotFoundEndsTheProgram) {
  prefix_.Link("d:", "../drive_d");
  prefix_.MakeFolder("drive_d");
  const ReportRun run = Run(StandinServer::Trusted().Website());
  EXPECT_EQ(run.code, 2);
  EXPECT_EQ(run.err, "Check Keldo Support: Your Accounts database not found so cannot continue\n");
  EXPECT_EQ(run.out,
            Lines({"Serial Number:  " KELDO_SAMPLE_SERIAL, "Version in Latest Progs:",
                   "Version on website: ", "Version on this PC: ", "Multi-user version of Keldo",
                   "PC shows support expires: ", "Website shows support expires:",
                   "Auto Update:  User turned it OFF", "Keldo Database on Drive:"}));
}

// As on a system without gio: the debug lines say which command could not
// be started and why, and the run goes on as specified.
TEST_F(ReportTest, AReMappingThatCannotStartIsNamedInTheDebugLines) {
  prefix_.Link("d:", "../drive_d");
  prefix_.MakeFolder("drive_d");
  prefix_.WriteUserReg(std::string(kSettings) +
                       "\n[Network\\\\F] 1733650000\n\"RemotePath\"=\"\\\\\\\\fs\\\\my data\"\n");
  const ReportRun run = Run(StandinServer::Trusted().Website(), {"--json", "--debug"});
  EXPECT_EQ(run.code, 2) << run.err;
  const auto report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["outcome"], "closed");
  const std::vector<std::string> debug = report["debug"];
  EXPECT_EQ(debug,
            (std::vector<std::string>{
                "Looking for Keldo DB on drive: C", "Looking for Keldo DB on drive: D",
                "Starting " + prefix_.Root() +
                    "/fake-gio mount smb://fs/my%20data failed: No such file or directory (2)",
                "Looking for Keldo DB on drive: C", "Looking for Keldo DB on drive: D",
                ":\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb not found on any drive",
                "Cannot find Keldo data files so cannot continue"}));
}

TEST_F(ReportTest, WebsiteThatCannotBeUsed) {
  prefix_.Link("d:", "../drive_d");
  InstallOn("drive_d");
  const struct {
    std::string website;
    const char* err;
  } cases[] = {
      {"https://127.0.0.1:" + std::to_string(ClosedPort()), ""},
      {StandinServer::Untrusted().Website(), ""},
      {StandinServer::Trusted().Website(standin_fault::kServerError),
       "Check Keldo Support: Could not read from website\n"},
  };
  for (const auto& c : cases) {
    const ReportRun run = Run(c.website);
    EXPECT_EQ(run.code, 0) << c.website;
    EXPECT_EQ(run.err, c.err) << c.website;
    EXPECT_NE(run.out.find("\nVersion on website: 0\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nWebsite shows support expires: --------\n"), std::string::npos)
        << run.out;
  }
}

// A proxy named in the environment reaches the diagnostic lines; control
// characters in it must not reach the terminal as they are.
TEST_F(ReportTest, DiagnosticLinesReachTheTerminalEscaped) {
  prefix_.Link("d:", "../drive_d");
  InstallOn("drive_d");
  ::setenv("https_proxy", "http://127.0.0.1:1/\x1b]0;owned\x07", 1);
  const ReportRun run = Run(StandinServer::Trusted().Website(), {"--debug"});
  ::unsetenv("https_proxy");
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\x07'), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Proxy for https://127.0.0.1:"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\\x1B]0;owned\\x07"), std::string::npos) << run.err;
}

// Whether a terminal would act on something in `bytes`: a C0 control other
// than the line end, DEL, or a C1 control (in UTF-8).
bool HoldsRawControls(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if ((c < 0x20 && c != '\n') || c == 0x7F) return true;
    const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    if (c == 0xC2 && next >= 0x80 && next <= 0x9F) return true;
  }
  return false;
}

TEST_F(ReportTest, NothingFromOutsideReachesTheTerminalRaw) {
  // A serial number and a website address holding ESC and C1 sequences (a
  // screen clear, a title change, CSI) and a backslash; the address comes
  // back in the web client's failure text.
  std::string settings = kSettings;
  const std::string ordinarySerial = "\"PkgNbr\"=\"123456\"";
  settings.replace(settings.find(ordinarySerial), ordinarySerial.size(),
                   "\"PkgNbr\"=\"\\x1b[2J\\x009b31m\\x0085\\x007f\\\\q\"");
  prefix_.WriteUserReg(settings);
  prefix_.Link("d:", "../drive_d");
  InstallOn("drive_d");
  const std::string serial =
      "\x1b[2J\xc2\x9b"
      "31m\xc2\x85\x7f\\q";
  const std::string path =
      "/\x1b]0;owned\x07\xc2\x9b"
      "2J\\";
  const std::string website = "https://127.0.0.1:" + std::to_string(ClosedPort()) + path;
  const struct {
    const char* name;
    std::vector<std::string> args;
    const char* errHolds;
  } cases[] = {
      {"captions", {}, ""},
      {"captions_and_diagnostics", {"--debug"}, "/\\x1B]0;owned\\x07\\x9B2J\\\\"},
      {"json", {"--json", "--debug"}, ""},
  };
  for (const auto& c : cases) {
    const ReportRun run = Run(website, c.args);
    EXPECT_EQ(run.code, 0) << c.name;
    EXPECT_FALSE(HoldsRawControls(run.out)) << c.name << ": " << run.out;
    EXPECT_FALSE(HoldsRawControls(run.err)) << c.name << ": " << run.err;
    EXPECT_NE(run.err.find(c.errHolds), std::string::npos) << c.name << ": " << run.err;
    if (c.args.empty() || c.args[0] != "--json") {
      const std::string line = "Serial Number:  \\x1B[2J\\x9B31m\\x85\\x7F\\\\q\n";
      EXPECT_EQ(run.out.rfind(line, 0), 0u) << c.name << ": " << run.out;
    } else {
      // JSON keeps the text itself, every control written as \u00XX.
      EXPECT_NE(run.out.find("\\u001b[2J\\u009b31m\\u0085\\u007f\\\\q"), std::string::npos)
          << run.out;
      const auto report = nlohmann::json::parse(run.out);
      EXPECT_EQ(report["captions"]["lblSerial"], "Serial Number:  " + serial);
      const std::vector<std::string> debug = report["debug"];
      EXPECT_TRUE(std::any_of(debug.begin(), debug.end(), [&](const std::string& line) {
        return line.find(path) != std::string::npos;
      })) << run.out;
    }
  }
}

// A serial number holding every UTF-16 unit but NUL, lone surrogates too,
// in four runs (a setting over 64 KiB reads as missing): the findings print
// without a raw control and the JSON report keeps the caption and validates.
TEST_F(ReportTest, EveryCodeUnitInACaption) {
  prefix_.Link("d:", "../drive_d");
  InstallOn("drive_d");
  for (std::uint32_t first = 1; first < 0x10000; first += 0x4000) {
    const std::uint32_t last = std::min<std::uint32_t>(first + 0x3FFF, 0xFFFF);
    SCOPED_TRACE(first);
    Text serial;
    std::string hex = "hex(1):";
    for (std::uint32_t unit = first; unit <= last; ++unit) {
      serial.push_back(static_cast<char16_t>(unit));
      char pair[8];
      std::snprintf(pair, sizeof pair, "%02x,%02x,", unit & 0xFF, unit >> 8);
      hex += pair;
      if (unit % 16 == 0) hex += "\\\n  ";
    }
    hex += "00,00";
    std::string settings = kSettings;
    const std::string ordinarySerial = "\"PkgNbr\"=\"123456\"";
    settings.replace(settings.find(ordinarySerial), ordinarySerial.size(), "\"PkgNbr\"=" + hex);
    prefix_.WriteUserReg(settings);
    const ReportRun text = Run(StandinServer::Trusted().Website());
    EXPECT_EQ(text.code, 0) << text.err;
    EXPECT_FALSE(HoldsRawControls(text.out));
    EXPECT_GT(text.out.find("\nVersion in Latest Progs"), 1000u);
    const ReportRun json = Run(StandinServer::Trusted().Website(), {"--json"});
    EXPECT_EQ(json.code, 0) << json.err;
    EXPECT_FALSE(HoldsRawControls(json.out));
    EXPECT_EQ(nlohmann::json::parse(json.out)["captions"]["lblSerial"],
              ToUtf8(u"Serial Number:  " + serial));
  }
}

TEST_F(ReportTest, EmptyLatestProgsFolder) {
  prefix_.Link("d:", "../drive_d");
  InstallOn("drive_d", false);
  prefix_.MakeFolder("drive_d/Keldo6/LATEST_PROGS");
  const ReportRun run = Run(StandinServer::Trusted().Website());
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("\nVersion in Latest Progs folder: error\n"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\nPC shows support expires: error\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nVersion on website: " KELDO_SAMPLE_WEBSITE_VERSION_NUMBER "\n"),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(std::filesystem::is_empty(prefix_.Root() + "/drive_d/Keldo6/LATEST_PROGS"));
}

TEST_F(ReportTest, ChangesNothingButTheLatestProgsFolderItMakes) {
  prefix_.Link("d:", "../drive_d");
  InstallOn("drive_d", false);
  auto expected = SnapshotTree(prefix_.Root());
  expected["drive_d/Keldo6/LATEST_PROGS"] = "d";
  EXPECT_EQ(Run(StandinServer::Trusted().Website()).code, 0);
  EXPECT_EQ(SnapshotTree(prefix_.Root()), expected);
}

TEST_F(ReportTest, AnErrorEndsOnlyTheRun) {
  const std::string dosdevices = prefix_.Root() + "/dosdevices";
  std::filesystem::remove_all(dosdevices);
  const ReportRun run = Run(StandinServer::Trusted().Website(), {"--json"});
  EXPECT_EQ(run.code, 1);
  const auto report = nlohmann::json::parse(run.out);
  const std::string error =
      "Listing the drives in " + dosdevices + " failed: No such file or directory (2)";
  EXPECT_EQ(report["outcome"], "failed");
  EXPECT_EQ(report["error"], error);
  EXPECT_EQ(report["messages"], nlohmann::json::array({"Check failed: " + error}));
  EXPECT_EQ(run.err, "");
}

TEST_F(ReportTest, UsageVersionAndHelpRunNoCheck) {
  const std::string version =
      std::string("keldo-check-report " KELDO_PROGRAM_VERSION "\nsource commit ") + kSourceCommit +
      "\n";
  const struct {
    std::vector<std::string> args;
    int code;
    const char* out;
    const char* errStart;
  } cases[] = {
      {{"--version"}, 0, version.c_str(), ""},
      {{"--bogus"},
       64,
       "",
       "keldo-check-report: unknown option '--bogus'\nUsage: keldo-check-report"},
      {{"--json", "extra"},
       64,
       "",
       "keldo-check-report: unexpected argument 'extra'\nUsage: keldo-check-report"},
      {{""}, 64, "", "keldo-check-report: unexpected argument ''\nUsage: keldo-check-report"},
      {{"--json", "-\x1b[2J\\\r\n"},
       64,
       "",
       "keldo-check-report: unknown option '-\\x1B[2J\\\\\\r\\n'\nUsage: keldo-check-report"},
      {{"--quiet", "--bogus", "--help"},
       64,
       "",
       "keldo-check-report: unknown option '--bogus'\nUsage: keldo-check-report"},
  };
  for (const auto& c : cases) {
    const ReportRun run = Run("https://127.0.0.1:1", c.args);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err.rfind(c.errStart, 0), 0u) << run.err;
    EXPECT_EQ(factoryCalls_, 0);
  }
  const ReportRun help = Run("https://127.0.0.1:1", {"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("Usage: keldo-check-report", 0), 0u);
}

// A caption as its label shows it: line breaks inside continue on an
// indented line, line breaks at the end show nothing, every other control
// is escaped as on one line.
TEST(FindingsText, CaptionsAsTheLabelShowsThem) {
  const struct {
    const char* name;
    Text caption;
    const char* shown;
  } cases[] = {
      {"plain", u"Version on website: 63220", "Version on website: 63220\n"},
      {"trailing CR LF", u"Website show your support expires:  31/12/2027\r\n",
       "Website show your support expires:  31/12/2027\n"},
      {"inner CR LF", u"expires: 31/12/2027\r\nSerial=1", "expires: 31/12/2027\n  Serial=1\n"},
      {"lone CR", u"a\rb", "a\n  b\n"},
      {"lone LF", u"a\nb", "a\n  b\n"},
      {"LF CR is two breaks", u"a\n\rb", "a\n  \n  b\n"},
      {"several at the end", u"a\r\n\r\n\r", "a\n"},
      {"only breaks", u"\r\n", "\n"},
      {"empty", u"", "\n"},
      {"ESC", u"x\x1b[2Jy", "x\\x1B[2Jy\n"},
      {"tab, DEL, C1, backslash", u"\t\x7f\u0085\u009b\\", "\\t\\x7F\\x85\\x9B\\\\\n"},
      {"lone surrogates", Text(u"a") + char16_t(0xD800) + u"b" + char16_t(0xDC00),
       "a\xef\xbf\xbd"
       "b\xef\xbf\xbd\n"},
      {"a pair", u"\U0001F600", "\xf0\x9f\x98\x80\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToUtf8(CaptionText(c.caption, u"\n")), c.shown) << c.name;
    Text crlf = CaptionText(c.caption, u"\r\n");
    EXPECT_EQ(ToUtf8(crlf.substr(crlf.size() - 2)), "\r\n") << c.name;
  }
}

// Every UTF-16 unit, alone and inside text, shows without a raw control.
TEST(FindingsText, EveryCodeUnitShowsWithoutARawControl) {
  for (std::uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    const Text caption = Text(u"a") + static_cast<char16_t>(unit) + u"b";
    const Text shown = CaptionText(caption, u"\n");
    const std::string bytes = ToUtf8(shown);
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const char16_t c = shown[i];
      const bool raw =
          (c < 0x20 && c != u'\n') || (c >= 0x7F && c <= 0x9F) || (c >= 0xD800 && c <= 0xDFFF);
      ASSERT_FALSE(raw) << "unit " << unit;
    }
    ASSERT_EQ(FromUtf8(bytes), shown) << "unit " << unit;
  }
}

// A terminal that takes `room` characters and then fails, as a write that
// needs memory it cannot get fails.
class FailingTerminal : public std::streambuf {
 public:
  explicit FailingTerminal(int room) : room_(room) {}

 private:
  int overflow(int c) override {
    if (room_-- == 0) throw std::bad_alloc();
    return c;
  }
  int room_;
};

// The status line drawn, then its clearing fails: the ticker thread is
// still joined on the way out, never left to std::terminate.
int StatusLineWhoseClearingFails() {
  FailingTerminal terminal(5);
  std::ostream err(&terminal);
  err.exceptions(std::ios::badbit);
  StatusLine line(err, 80);
  line.Show(u"Step");
  line.Stop();
  return kExitCompleted;
}

// Whatever escapes a run, out of memory included, is one line escaped as
// every line is and the failure status, never std::terminate.
TEST(AtTheEdge, AnyExceptionIsOneEscapedLineAndTheFailureStatus) {
  const struct {
    const char* name;
    std::function<int()> body;
    int code;
    const char* line;
  } cases[] = {
      {"Completed", [] { return kExitClosed; }, kExitClosed, ""},
      {"OutOfMemory", []() -> int { throw std::bad_alloc(); }, kExitFailed,
       "keldo-check-report: std::bad_alloc\n"},
      {"TextFromOutside",
       []() -> int { throw RunTimeError(5, "a\x1b[31m\r\n\xc2\x9b \xc3\xa9\xff\\"); }, kExitFailed,
       "keldo-check-report: a\\x1B[31m\\r\\n\\x9B \xc3\xa9\\xFF\\\\\n"},
      {"NoException", []() -> int { throw 7; }, kExitFailed,
       "keldo-check-report: an error of unknown kind\n"},
      {"StatusLineWhoseClearingFails", StatusLineWhoseClearingFails, kExitFailed,
       "keldo-check-report: std::bad_alloc\n"},
  };
  for (const auto& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(AtTheEdge(c.body), c.code) << c.name;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line) << c.name;
  }
}

TEST(OneLine, ControlCharactersAreEscaped) {
  EXPECT_EQ(OneLine(u"a\r\n\tb\x01\x1f\x7f\u0085 \u00e9\\x"),
            "a\\r\\n\\tb\\x01\\x1F\\x7F\\x85 \xc3\xa9\\\\x");
}

}  // namespace

}  // namespace keldo
