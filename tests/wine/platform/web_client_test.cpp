// The WinHTTP web component against the stand-in website, in a prefix that
// trusts the suite's test CA: real TLS on loopback. run-wine-suite.sh sets
// KELDO_TEST_WEBSITE (trusted) and KELDO_TEST_UNTRUSTED_WEBSITE (a server
// whose CA nothing trusts).
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <atomic>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

#include "base/website_paths.h"
#include "platform/windows/text/wide_text.h"
#include "platform/windows/web/web_client.h"
#include "sample_installation_values.h"
#include "standin-website/fault_names.h"
#include "support/web_contract_cases.h"
#include "windows/platform_fixture.h"

namespace keldo {

namespace {

// What run-wine-suite.sh serves: the sample installation's website.
constexpr const char* kVersionFile = KELDO_SAMPLE_WEBSITE_VERSION_LINE "\r\n";
constexpr const char16_t* kVersionPath =
    u"" KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME u"?20241201093015";
constexpr const char16_t* kSupportPath = kSupportCheckPath;
// Every request is bounded at 30 s in all by the client; a case still
// running after this (with room for a slow machine) has outlived it.
constexpr ULONGLONG kHungAfterMs = 45000;

Text Website(const wchar_t* variable) {
  wchar_t value[256];
  const DWORD length = GetEnvironmentVariableW(variable, value, 256);
  return length && length < 256 ? FromWide(value, length) : Text();
}

// The trusted stand-in, showing `fault` (one of standin_fault's names) when one is named.
Text Trusted(const char* fault = "") {
  return Website(L"KELDO_TEST_WEBSITE") + (*fault ? u"/" + FromUtf8(fault) : Text());
}

FormFields SupportForm(const Text& serial) {
  FormFields fields;
  fields.AppendField(u"serialnbr", serial);
  fields.AppendField(u"company", u"");
  return fields;
}

class WebClientTest : public testing::Test {
 protected:
  void SetUp() override {
    if (Website(L"KELDO_TEST_WEBSITE").empty())
      GTEST_SKIP() << "run by tests/wine/run-wine-suite.sh";
  }
};

TEST_F(WebClientTest, DownloadsReplaceTheFileWithTheWholeBody) {
  for (const char* fault : {"", standin_fault::kRedirect}) {
    SCOPED_TRACE(fault);
    const std::wstring target = NewTestFolder() + L"temp_vers.dat";
    WriteBytes(target, "earlier and longer than the new file, which must replace it whole");
    WinHttpClient client;
    EXPECT_EQ(client.FetchToFile(Trusted(fault) + kVersionPath, AsText(target)), 1)
        << ToUtf8(client.FailureText());
    EXPECT_EQ(ReadBytes(target), kVersionFile);
  }
}

TEST_F(WebClientTest, TheFormArrivesFieldByField) {
  // The stand-in answers an unknown serial with the serial it received, and
  // a form without both fields with 400 and no "Serial=" at all.
  const struct {
    const char16_t* serial;
    const char16_t* answer;
  } cases[] = {
      {u"123456", u"Serial=123456\nExpired=No expires: 31/12/2027\r\n"},
      {u"K6 & co=1+2%/x", u"Serial=K6 & co=1+2%/x\nExpired=Unknown\r\n"},
      {u"", u"Serial=\nExpired=Unknown\r\n"},
  };
  for (const auto& c : cases) {
    WinHttpClient client;
    const auto reply = client.SubmitForm(Trusted() + kSupportPath, SupportForm(c.serial));
    ASSERT_NE(reply, nullptr);
    EXPECT_NE(client.LastCallOK(), 0) << ToUtf8(client.FailureText());
    EXPECT_EQ(ToUtf8(reply->ReplyText()), ToUtf8(c.answer));
  }
}

// The client ports of the requests that the stand-in website logged after
// the first `from` bytes of its log (run-wine-suite.sh names the log).
std::vector<int> ClientPortsAfter(std::size_t from) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"KELDO_TEST_WEBSITE_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::string log = ReadBytes(path);
  std::vector<int> ports;
  const std::string marker = " from port ";
  for (std::size_t at = log.find(marker, from); at != std::string::npos;
       at = log.find(marker, at + 1)) {
    ports.push_back(std::atoi(log.c_str() + at + marker.size()));
  }
  return ports;
}

std::string LogAfter(std::size_t from) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"KELDO_TEST_WEBSITE_LOG", path, MAX_PATH);
  const std::string log = length == 0 || length >= MAX_PATH ? std::string() : ReadBytes(path);
  return from < log.size() ? log.substr(from) : std::string();
}

std::size_t LogSize() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"KELDO_TEST_WEBSITE_LOG", path, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? 0 : ReadBytes(path).size();
}

// Two clients one after the other, as a check run makes them: WinHTTP keeps
// the connection alive between them, and the stand-in sees one client port.
TEST_F(WebClientTest, ARunsRequestsShareOneConnection) {
  const std::size_t from = LogSize();
  {
    WinHttpClient client;
    client.SubmitForm(Trusted() + kSupportPath, SupportForm(u"123456"));
    EXPECT_EQ(client.LastCallOK(), 1) << ToUtf8(client.FailureText());
  }
  {
    WinHttpClient client;
    const std::wstring target = NewTestFolder() + L"temp_vers.dat";
    EXPECT_EQ(client.FetchToFile(Trusted() + kVersionPath, AsText(target)), 1)
        << ToUtf8(client.FailureText());
  }
  const std::vector<int> ports = ClientPortsAfter(from);
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0], ports[1]) << LogAfter(from);
}

// A request that fails on a kept-alive connection leaves nothing behind that
// the next request of the run would trip over.
TEST_F(WebClientTest, AFailedRequestDoesNotSpoilTheNext) {
  for (const char* fault :
       {standin_fault::kCut, standin_fault::kHuge, standin_fault::kHugeChunked,
        standin_fault::kInterimFlood, standin_fault::kHeaderFlood, standin_fault::kNotFound}) {
    SCOPED_TRACE(fault);
    const std::wstring target = NewTestFolder() + L"temp_vers.dat";
    WinHttpClient before;
    EXPECT_EQ(before.FetchToFile(Trusted() + kVersionPath, AsText(target)), 1)
        << ToUtf8(before.FailureText());
    WinHttpClient failing;
    EXPECT_NE(failing.FetchToFile(Trusted(fault) + kVersionPath, AsText(target)), 1);
    WinHttpClient after;
    EXPECT_EQ(after.FetchToFile(Trusted() + kVersionPath, AsText(target)), 1)
        << ToUtf8(after.FailureText());
    EXPECT_EQ(ReadBytes(target), kVersionFile);
  }
}

// The process's peak working set; under Wine, the peak resident set that
// Linux keeps for the process in /proc.
std::size_t PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)
             ? counters.PeakWorkingSetSize
             : 0;
}

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Before the fault cases below, which run many requests at once: a flood
// that WinHTTP kept in memory would show in the process's peak. Windows
// fails each answer (its header limit, our check of what it kept); Wine
// reads no trailers at all, so the answer ends at its last chunk, and cuts
// every header line at 1460 bytes, so the 10 MB header never arrives whole:
// both answers are then complete and small, and pass.
TEST_F(WebClientTest, FloodsAroundTheBodyStayWithinBoundedMemory) {
  constexpr std::size_t kExtraBytes = 8 * 1024 * 1024;
  const std::size_t before = PeakWorkingSet();
  ASSERT_NE(before, 0u);
  const struct {
    const char* fault;
    bool form;
    bool passesUnderWine;
  } cases[] = {
      {standin_fault::kHeaderFlood, false, false},  {standin_fault::kHeaderFlood, true, false},
      {standin_fault::kInterimFlood, false, false}, {standin_fault::kInterimFlood, true, false},
      {standin_fault::kLongHeader, false, true},    {standin_fault::kTrailerFlood, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.fault) + (c.form ? " form" : " download"));
    const bool passes = c.passesUnderWine && UnderWine();
    WinHttpClient client;
    if (c.form) {
      const auto reply = client.SubmitForm(Trusted(c.fault) + kSupportPath, SupportForm(u"123456"));
      EXPECT_EQ(ToUtf8(reply->ReplyText()), "");
    } else {
      const std::wstring target = NewTestFolder() + L"temp_vers.dat";
      WriteBytes(target, "earlier");
      EXPECT_EQ(client.FetchToFile(Trusted(c.fault) + kVersionPath, AsText(target)),
                passes ? 1 : 0);
      EXPECT_EQ(ReadBytes(target), passes ? kVersionFile : "earlier");
    }
    EXPECT_EQ(client.LastCallOK(), passes ? 1 : 0);
    EXPECT_EQ(client.FailureText().empty(), passes);
    std::printf("%s %s: %s; peak working set %zu KiB\n", c.fault, c.form ? "form" : "download",
                ToUtf8(client.FailureText()).c_str(), PeakWorkingSet() / 1024);
  }
  EXPECT_LT(PeakWorkingSet(), before + kExtraBytes) << "before: " << before / 1024 << " KiB";
}

// One request of each kind against each fault, all at once, so that the
// slow faults (a silent server, a one-byte-a-second drip) cost their
// time-out once rather than once per case. The header flood is left to the
// test above: Wine reads its 10,000 lines one receive at a time, which takes
// a few seconds alone but over 40 s beside twenty other requests, past the
// hang limit here (Windows stops at its header limit).
struct FaultCase {
  Text website;
  bool form;  // SubmitForm; otherwise FetchToFile
  std::atomic<bool> done{false};
  ULONGLONG tookMs = 0;
  std::int32_t fetched = 0;
  std::int32_t callOk = 0;
  Text replyText;
  Text failure;
  std::string fileAfter;
};

// Makes every case's call at once, each over a file that held "earlier",
// and waits for them up to the hang limit.
void RunAtOnce(const std::vector<std::shared_ptr<FaultCase>>& cases) {
  for (const auto& faultCase : cases) {
    const std::wstring target = NewTestFolder() + L"temp_vers.dat";
    WriteBytes(target, "earlier");
    // Detached, each holding its own case: one that hangs is reported, and
    // the process ends without waiting for it.
    std::thread([faultCase, target] {
      const ULONGLONG began = GetTickCount64();
      WinHttpClient client;
      if (faultCase->form) {
        const auto reply =
            client.SubmitForm(faultCase->website + kSupportPath, SupportForm(u"123456"));
        faultCase->replyText = reply ? reply->ReplyText() : u"<no reply object>";
      } else {
        faultCase->fetched = client.FetchToFile(faultCase->website + kVersionPath, AsText(target));
        faultCase->fileAfter = ReadBytes(target);
      }
      faultCase->callOk = client.LastCallOK();
      faultCase->failure = client.FailureText();
      faultCase->tookMs = GetTickCount64() - began;
      faultCase->done = true;
    }).detach();
  }

  const ULONGLONG deadline = GetTickCount64() + kHungAfterMs;
  for (const auto& c : cases) {
    while (!c->done && GetTickCount64() < deadline) Sleep(100);
  }
}

// The client's side of the contract that the libcurl client keeps too
// (support/web_contract_cases.h): one download and one form post per case,
// all at once, as above.
Text ContractWebsite(const WebContractCase& c) {
  switch (c.site) {
    case ContractSite::kUntrusted: return Website(L"KELDO_TEST_UNTRUSTED_WEBSITE");
    case ContractSite::kRefused: return u"https://localhost:1";  // nothing listens on port 1
    case ContractSite::kTrusted: break;
  }
  return Trusted(c.fault);
}

void ExpectContract(const WebContractCase& c, const FaultCase& call) {
  if (call.form) {
    EXPECT_EQ(call.callOk, c.formCallOK);
    EXPECT_EQ(!call.failure.empty(), c.formFailureText);
    EXPECT_EQ(ToUtf8(call.replyText), c.formReply);
  } else {
    EXPECT_EQ(call.fetched, c.fetched);
    EXPECT_EQ(call.callOk, c.fetchCallOK);
    EXPECT_EQ(!call.failure.empty(), c.fetchFailureText);
    EXPECT_EQ(call.fileAfter, c.file == FileAfter::kServedFile ? kVersionFile : "earlier");
  }
}

// The platform's codes that tell some failures apart.
void ExpectFailureCode(const WebContractCase& c, const FaultCase& call) {
  const std::string_view fault = c.fault;
  if (c.site == ContractSite::kUntrusted) {
    // Wine says 12157 where Windows says 12175; both refuse the server.
    EXPECT_TRUE(call.failure.find(u"12157") != Text::npos ||
                call.failure.find(u"12175") != Text::npos);
  } else if (fault == standin_fault::kCut) {
    // A body short of its promised length is a dropped connection, not the
    // end of the answer.
    EXPECT_NE(call.failure.find(u"12030"), Text::npos);
  } else if (fault == standin_fault::kSilent) {
    // Wine gives up waiting for the headers with 10060 where Windows says 12002.
    EXPECT_TRUE(call.failure.find(u"10060") != Text::npos ||
                call.failure.find(u"12002") != Text::npos);
  }
}

TEST_F(WebClientTest, DownloadAndFormPostGiveTheAgreedResults) {
  ASSERT_FALSE(Website(L"KELDO_TEST_UNTRUSTED_WEBSITE").empty());
  std::vector<std::shared_ptr<FaultCase>> calls;
  for (const WebContractCase& c : kWebContractCases) {
    for (const bool form : {false, true}) {
      auto call = std::make_shared<FaultCase>();
      call->website = ContractWebsite(c);
      call->form = form;
      calls.push_back(std::move(call));
    }
  }
  RunAtOnce(calls);
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const FaultCase& call = *calls[i];
    SCOPED_TRACE(std::string(kWebContractCases[i / 2].name) + (call.form ? " form" : " download") +
                 ": " + ToUtf8(call.failure));
    if (!call.done) {
      ADD_FAILURE() << "still waiting after " << kHungAfterMs / 1000 << " s";
      continue;
    }
    std::printf("%s %s: %llu ms: %s\n", kWebContractCases[i / 2].name,
                call.form ? "form" : "download", static_cast<unsigned long long>(call.tookMs),
                ToUtf8(call.failure).c_str());
    ExpectContract(kWebContractCases[i / 2], call);
    ExpectFailureCode(kWebContractCases[i / 2], call);
  }
}

}  // namespace

}  // namespace keldo
