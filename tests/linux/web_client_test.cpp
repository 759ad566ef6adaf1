#include <curl/curl.h>
#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "base/website_paths.h"
#include "platform/linux/web/web_component.h"
#include "support/connect_proxy.h"
#include "support/standin_server.h"
#include "support/temp_prefix.h"
#include "support/test_limits.h"
#include "support/web_contract_cases.h"

namespace keldo {

namespace {

using namespace std::chrono_literals;

constexpr const char16_t* kTarget = u"D:\\Keldo6\\LATEST_PROGS\\temp_vers.dat";

class WebClientTest : public ::testing::Test {
 protected:
  WebClientTest() {
    prefix_.MakeFolder("drive_d/Keldo6/LATEST_PROGS");
    prefix_.Link("d:", "../drive_d");
  }

  std::int32_t Fetch(const std::string& website, std::unique_ptr<WebClient>& client) {
    client = web_.NewWebClient();
    return client->FetchToFile(
        FromUtf8(website + KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME "?20250101120000"),
        kTarget);
  }

  std::unique_ptr<WebReply> Submit(const std::string& website, std::unique_ptr<WebClient>& client,
                                   const char16_t* serial = u"123456") {
    FormFields fields;
    fields.AppendField(u"serialnbr", serial);
    fields.AppendField(u"company", u"");
    client = web_.NewWebClient();
    return client->SubmitForm(FromUtf8(website + KELDO_SUPPORT_CHECK_PATH), fields);
  }

  std::map<std::string, std::string> Folder() const {
    return SnapshotTree(prefix_.Root() + "/drive_d/Keldo6/LATEST_PROGS");
  }

  TempPrefix prefix_;
  WinePaths paths_{prefix_.Prefix()};
  CurlWebComponent web_{paths_, kTestLimits};
  std::string folder_ = prefix_.Root() + "/drive_d/Keldo6/LATEST_PROGS";
};

TEST_F(WebClientTest, DownloadReplacesTheFileWithTheWholeBody) {
  prefix_.Write("drive_d/Keldo6/LATEST_PROGS/temp_vers.dat", "stale and longer than the new body");
  std::unique_ptr<WebClient> client;
  for (const char* fault : {"", standin_fault::kRedirect}) {
    EXPECT_EQ(Fetch(StandinServer::Trusted().Website(fault), client), 1)
        << ToUtf8(client->FailureText());
    EXPECT_EQ(Folder(),
              (std::map<std::string, std::string>{{"temp_vers.dat", "f:v6.3.220 15/03/2025\r\n"}}));
  }
}

// Every fault is a failed call within the time-outs, and the file stays as it
// was: here the faults the shared contract below does not hold (the WinHTTP
// client meets these in its own tables), with libcurl's own words for each.
TEST_F(WebClientTest, FaultsBeyondTheContractFailAndLeaveTheFileAlone) {
  prefix_.Write("drive_d/Keldo6/LATEST_PROGS/temp_vers.dat", "old");
  const auto before = Folder();
  const struct {
    std::string website;
    const char* failure;
  } cases[] = {
      {StandinServer::Trusted().Website(standin_fault::kTrailerFlood),
       "headers are larger than 65536 bytes"},
      {StandinServer::Trusted().Website(standin_fault::kHeaderFlood),
       "headers are larger than 65536 bytes"},
      {StandinServer::Trusted().Website(standin_fault::kLongHeader), " (27)"},
      {"http://127.0.0.1:" + std::to_string(StandinServer::Trusted().Port()), " (1)"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<WebClient> client;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_NE(Fetch(c.website, client), 1) << c.website;
    EXPECT_LT(std::chrono::steady_clock::now() - started, 20s) << c.website;  // a hang guard only
    EXPECT_NE(ToUtf8(client->FailureText()).find(c.failure), std::string::npos)
        << c.website << ": " << ToUtf8(client->FailureText());
    EXPECT_EQ(Folder(), before) << c.website;
  }
}

TEST_F(WebClientTest, DownloadNeverWritesThroughAPlantedLink) {
  prefix_.Write("victim.txt", "precious");
  ASSERT_EQ(::symlink("../../../victim.txt", (folder_ + "/temp_vers.dat").c_str()), 0);
  std::unique_ptr<WebClient> client;
  EXPECT_NE(Fetch(StandinServer::Trusted().Website(standin_fault::kServerError), client), 1);
  EXPECT_EQ(ReadAll(folder_ + "/temp_vers.dat"), "precious");  // the link still stands
  EXPECT_EQ(Fetch(StandinServer::Trusted().Website(), client), 1);
  EXPECT_EQ(ReadAll(prefix_.Root() + "/victim.txt"), "precious");
  struct stat st {};
  ASSERT_EQ(::lstat((folder_ + "/temp_vers.dat").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST_F(WebClientTest, DownloadIntoAMissingFolderFails) {
  std::unique_ptr<WebClient> client;
  client = web_.NewWebClient();
  EXPECT_EQ(client->FetchToFile(FromUtf8(StandinServer::Trusted().Website() +
                                         KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME),
                                u"D:\\Nowhere\\Deeper\\temp_vers.dat"),
            0);
  EXPECT_FALSE(client->FailureText().empty());
}

// The answers and faults of the contract table (WebContract below) aside:
// serial numbers of every shape, and a fault only this client meets.
TEST_F(WebClientTest, FormPostGetsAnyCompleteAnswer) {
  const struct {
    std::string website;
    const char16_t* serial;
    std::int32_t answered;
    const char16_t* reply;
  } cases[] = {
      {StandinServer::Trusted().Website(), u"", 1, u"Serial=\nExpired=Unknown\r\n"},
      {StandinServer::Trusted().Website(), u"12 34&x=\u00e9", 1,
       u"Serial=12 34&x=\u00e9\nExpired=Unknown\r\n"},
      {StandinServer::Trusted().Website(standin_fault::kTrailerFlood), u"123456", 0, u""},
  };
  for (const auto& c : cases) {
    std::unique_ptr<WebClient> client;
    const auto reply = Submit(c.website, client, c.serial);
    EXPECT_EQ(client->LastCallOK(), c.answered)
        << c.website << ": " << ToUtf8(client->FailureText());
    EXPECT_EQ(reply->ReplyText(), c.reply) << c.website;
    if (c.answered == 0) {
      EXPECT_FALSE(client->FailureText().empty()) << c.website;
    }
  }
}

// The system's certificates as a hashed folder: an issuer is found by its
// hash name, past another certificate under the same hash; a name that does
// not parse trusts nothing; a folder that could quietly drop a certificate
// is not used, and the bundle is, said in the notes. The test CA stays
// trusted beside all of them.
TEST_F(WebClientTest, TrustLooksIssuersUpInAHashedFolderOrReadsTheBundle) {
  const std::string ca = KELDO_TEST_PKI "/ca.pem", other = KELDO_TEST_PKI "/untrusted-ca.pem";
  FILE* pem = std::fopen(other.c_str(), "r");
  X509* cert = PEM_read_X509(pem, nullptr, nullptr, nullptr);
  char hash[16];
  std::snprintf(hash, sizeof hash, "%08lx", X509_subject_name_hash(cert));
  X509_free(cert), std::fclose(pem);
  const struct {
    std::string files[2][2];  // name, then a certificate's path or "<text"
    // The other CA's site fails with one of these; none: it is trusted
    // through the folder.
    std::vector<const char*> otherFailures;
    bool bundle;
  } cases[] = {
      {{{hash + std::string(".0"), other}}, {}, false},
      {{{hash + std::string(".0"), ca}, {hash + std::string(".1"), other}}, {}, false},
      // OpenSSL 3.0's releases differ: some fail the handshake on the file
      // (35, "no start line"), later ones pass it over and find no issuer.
      {{{hash + std::string(".0"), "<not a certificate"}}, {"no start line (35)", " (60)"}, false},
      {{{hash + std::string(".0"), prefix_.Root() + "/gone.pem"}, {"a.pem", other}},
       {" (60)"},
       true},
      {{{"untrusted-ca.pem", other}}, {" (60)"}, true},
      {{}, {" (60)"}, true},  // no folder
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string folder = prefix_.Root() + "/certs" + std::to_string(i);
    for (const auto& [name, what] : cases[i].files) {
      if (name.empty()) continue;
      if (what[0] == '<') {
        prefix_.Write("certs" + std::to_string(i) + "/" + name, what.substr(1));
      } else {
        ::mkdir(folder.c_str(), 0700);
        ASSERT_EQ(::symlink(what.c_str(), (folder + "/" + name).c_str()), 0);
      }
    }
    CurlWebComponent web(paths_, kTestLimits, folder);
    const std::pair<std::string, std::vector<const char*>> fetches[] = {
        {StandinServer::Trusted().Website(), {}},
        {StandinServer::Untrusted().Website(), cases[i].otherFailures}};
    for (const auto& [website, expected] : fetches) {
      auto client = web.NewWebClient();
      const std::string page = website + KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME;
      EXPECT_EQ(client->FetchToFile(FromUtf8(page), kTarget), expected.empty() ? 1 : 0) << i;
      const std::string failure = ToUtf8(client->FailureText());
      EXPECT_TRUE(expected.empty() ? failure.empty()
                                   : std::any_of(expected.begin(), expected.end(),
                                                 [&](const char* t) {
                                                   return failure.find(t) != std::string::npos;
                                                 }))
          << i << ": " << failure;
      const Text note = client->RouteNotes().back();
      EXPECT_EQ(note.find(u"not the hashed folder") != Text::npos, cases[i].bundle) << i;
    }
  }
}

// The client's side of the contract that the WinHTTP client keeps too
// (support/web_contract_cases.h): one download and one form post per case.
class WebContract : public WebClientTest, public ::testing::WithParamInterface<WebContractCase> {
 protected:
  static std::string Website(const WebContractCase& c) {
    switch (c.site) {
      case ContractSite::kUntrusted: return StandinServer::Untrusted().Website();
      case ContractSite::kRefused: return "https://127.0.0.1:" + std::to_string(ClosedPort());
      case ContractSite::kTrusted: break;
    }
    return StandinServer::Trusted().Website(c.fault);
  }
};

// libcurl's words for a failed download of a contract row: the status or
// the code that names why (rows not named here are not looked at).
const std::map<std::string, const char*> kCurlDownloadFailure = {
    {"NotFound", "HTTP status 404"},
    {"ServerError", "HTTP status 500"},
    {"Silent", " (28)"},
    {"Drip", " (28)"},
    {"Huge", "larger than 1048576 bytes"},
    {"HugeChunked", "larger than 1048576 bytes"},
    {"Cut", " (18)"},
    {"HttpRedirect", " (1)"},
    {"RedirectLoop", " (47)"},
    {"InterimFlood", "headers are larger than 65536 bytes"},
    {"Untrusted", " (60)"},
    {"Refused", " (7)"},
};

TEST_P(WebContract, DownloadAndFormPostGiveTheAgreedResults) {
  const WebContractCase& c = GetParam();
  const std::string file = folder_ + "/temp_vers.dat";
  prefix_.Write("drive_d/Keldo6/LATEST_PROGS/temp_vers.dat", "earlier");
  const auto before = Folder();
  std::unique_ptr<WebClient> client;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(Fetch(Website(c), client), c.fetched);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 20s);  // a hang guard only
  EXPECT_EQ(client->LastCallOK(), c.fetchCallOK);
  EXPECT_EQ(!client->FailureText().empty(), c.fetchFailureText)
      << "download: " << ToUtf8(client->FailureText());
  if (const auto words = kCurlDownloadFailure.find(c.name); words != kCurlDownloadFailure.end()) {
    EXPECT_NE(ToUtf8(client->FailureText()).find(words->second), std::string::npos)
        << "download: " << ToUtf8(client->FailureText());
  }
  EXPECT_EQ(ReadAll(file),
            c.file == FileAfter::kServedFile ? "v6.3.220 15/03/2025\r\n" : "earlier");
  if (c.file == FileAfter::kUntouched) {
    EXPECT_EQ(Folder(), before);  // nothing half-written left beside it either
  }

  const auto reply = Submit(Website(c), client);
  EXPECT_EQ(client->LastCallOK(), c.formCallOK);
  EXPECT_EQ(!client->FailureText().empty(), c.formFailureText)
      << "form: " << ToUtf8(client->FailureText());
  EXPECT_EQ(ToUtf8(reply->ReplyText()), c.formReply);
}

INSTANTIATE_TEST_SUITE_P(EveryCase, WebContract, ::testing::ValuesIn(kWebContractCases),
                         [](const ::testing::TestParamInfo<WebContractCase>& row) {
                           return std::string(row.param.name);
                         });

// The requests of a run share one connection: the stand-in's log shows one
// client port for both.
TEST_F(WebClientTest, ARunsRequestsShareOneConnection) {
  const std::string log = prefix_.Root() + "/website.log";
  StandinServer website(StandinCertificate::Trusted, log);
  std::unique_ptr<WebClient> client;
  Submit(website.Website(), client);
  EXPECT_EQ(client->LastCallOK(), 1) << ToUtf8(client->FailureText());
  EXPECT_EQ(Fetch(website.Website(), client), 1) << ToUtf8(client->FailureText());
  const std::vector<int> ports = ClientPorts(log, "/");
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0], ports[1]);
}

// A proxy's 407 whose body never ends is drained by libcurl on no clock of
// its own: the client's deadline ends it, with the short limits here (the
// report's run of it with the shipped ones is in tests/robust/).
TEST_F(WebClientTest, AProxysEndlessRefusalEndsAtTheDeadline) {
  const ConnectProxy proxy("407-endless", prefix_.Root() + "/proxy.log");
  ASSERT_EQ(::setenv("https_proxy", ("http://" + proxy.Address()).c_str(), 1), 0);
  std::unique_ptr<WebClient> client;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_NE(Fetch(StandinServer::Trusted().Website(), client), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 20s);  // a hang guard only
  ::unsetenv("https_proxy");
  EXPECT_NE(ToUtf8(client->FailureText()).find("No whole answer within"), std::string::npos)
      << ToUtf8(client->FailureText());
}

// After a request that failed on a connection of the shared session, the
// next request of the run still gets its answer, over a new connection.
TEST_F(WebClientTest, AFailedRequestDoesNotSpoilTheNext) {
  const std::string log = prefix_.Root() + "/website.log";
  StandinServer website(StandinCertificate::Trusted, log);
  for (const char* fault :
       {standin_fault::kCut, standin_fault::kHuge, standin_fault::kHugeChunked,
        standin_fault::kDrip, standin_fault::kSilent, standin_fault::kTrailerFlood,
        standin_fault::kInterimFlood, standin_fault::kNotFound}) {
    SCOPED_TRACE(fault);
    CurlWebComponent web(paths_, kTestLimits);
    auto before = web.NewWebClient();
    EXPECT_EQ(before->FetchToFile(
                  FromUtf8(website.Website() + KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME),
                  kTarget),
              1);
    auto failing = web.NewWebClient();
    EXPECT_NE(failing->FetchToFile(FromUtf8(website.Website(fault) +
                                            KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME),
                                   kTarget),
              1);
    auto after = web.NewWebClient();
    EXPECT_EQ(
        after->FetchToFile(FromUtf8(website.Website() +
                                    KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME "?after"),
                           kTarget),
        1)
        << ToUtf8(after->FailureText());
    EXPECT_EQ(after->LastCallOK(), 1);
  }
}

}  // namespace

namespace {

size_t Collect(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

// Through a proxy's tunnel some clients (Wine's WinHTTP among them) name the
// whole address in the request line; the stand-in website must answer it
// as any server must.
TEST(StandinWebsite, AnswersARequestTargetInAbsoluteForm) {
  const std::string website = StandinServer::Trusted().Website();
  const struct {
    const char* path;
    const char* form;  // nullptr: GET
    const char* body;
  } cases[] = {
      {KELDO_DOWNLOAD_FOLDER_PATH KELDO_VERSION_FILE_NAME "?20241201093015", nullptr,
       "v6.3.220 15/03/2025\r\n"},
      {KELDO_SUPPORT_CHECK_PATH,
       "serialnbr=123456&company=", "Serial=123456\nExpired=No expires: 31/12/2027\r\n"},
  };
  for (const auto& c : cases) {
    CURL* easy = curl_easy_init();
    ASSERT_NE(easy, nullptr);
    std::string body;
    const std::string absolute = website + c.path;
    curl_easy_setopt(easy, CURLOPT_URL, absolute.c_str());
    curl_easy_setopt(easy, CURLOPT_REQUEST_TARGET, absolute.c_str());
    curl_easy_setopt(easy, CURLOPT_CAINFO, KELDO_TEST_PKI "/ca.pem");
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    if (c.form) curl_easy_setopt(easy, CURLOPT_POSTFIELDS, c.form);
    const CURLcode code = curl_easy_perform(easy);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(easy);
    EXPECT_EQ(code, CURLE_OK) << c.path;
    EXPECT_EQ(status, 200) << c.path;
    EXPECT_EQ(body, c.body) << c.path;
  }
}

}  // namespace

}  // namespace keldo
