#pragma once
// What a web client makes of each answer and fault of the stand-in website,
// one table for the libcurl and the WinHTTP client: the same answer gives
// the same results on both. A call whose result is a failure (FetchToFile
// other than 1, a form post with LastCallOK 0) says why in FailureText;
// one whose result is a success leaves it empty, whatever the status.
#include <cstdint>
#include <ostream>

#include "sample_installation_values.h"
#include "standin-website/fault_names.h"

namespace keldo {

// Where a case's requests go: the stand-in whose CA the client trusts, one
// whose CA nobody trusts, or a loopback port where nothing listens.
enum class ContractSite { kTrusted, kUntrusted, kRefused };

// The download's file afterwards: it held other bytes before the call.
enum class FileAfter { kServedFile, kUntouched };

struct WebContractCase {
  const char* name;
  ContractSite site;
  const char* fault;  // one of standin_fault's names, or "" for the ordinary website
  // FetchToFile of the version file.
  std::int32_t fetched;
  std::int32_t fetchCallOK;
  bool fetchFailureText;
  FileAfter file;
  // SubmitForm of the support form for the sample installation's serial.
  std::int32_t formCallOK;
  bool formFailureText;
  const char* formReply;  // the reply's text, UTF-8
};

// A case shows as its name in the tests' names and messages.
inline void PrintTo(const WebContractCase& c, std::ostream* out) { *out << c.name; }

inline constexpr char kContractSupportAnswer[] =
    "Serial=" KELDO_SAMPLE_SERIAL "\nExpired=No expires: " KELDO_SAMPLE_WEBSITE_EXPIRY "\r\n";
inline constexpr char kContractNotFoundPage[] = "<html><body>Not Found</body></html>\r\n";

// A failed call of either kind: nothing usable, and a failure text.
constexpr WebContractCase Failing(const char* name, ContractSite site, const char* fault) {
  return {name, site, fault, 0, 0, true, FileAfter::kUntouched, 0, true, ""};
}

inline constexpr WebContractCase kWebContractCases[] = {
    {"Ordinary", ContractSite::kTrusted, "", 1, 1, false, FileAfter::kServedFile, 1, false,
     kContractSupportAnswer},
    // A followed redirect turns the post into a GET, which the script
    // answers with 404: an answer all the same.
    {"Redirect", ContractSite::kTrusted, standin_fault::kRedirect, 1, 1, false,
     FileAfter::kServedFile, 1, false, kContractNotFoundPage},
    // An error status is an answer: no download, but the form's reply.
    {"NotFound", ContractSite::kTrusted, standin_fault::kNotFound, 0, 1, true,
     FileAfter::kUntouched, 1, false, kContractNotFoundPage},
    {"ServerError", ContractSite::kTrusted, standin_fault::kServerError, 0, 1, true,
     FileAfter::kUntouched, 1, false, "<html><body>Internal Server Error</body></html>\r\n"},
    Failing("Silent", ContractSite::kTrusted, standin_fault::kSilent),
    Failing("Drip", ContractSite::kTrusted, standin_fault::kDrip),
    Failing("Huge", ContractSite::kTrusted, standin_fault::kHuge),
    Failing("HugeChunked", ContractSite::kTrusted, standin_fault::kHugeChunked),
    Failing("Cut", ContractSite::kTrusted, standin_fault::kCut),
    Failing("Reset", ContractSite::kTrusted, standin_fault::kReset),
    Failing("HttpRedirect", ContractSite::kTrusted, standin_fault::kHttpRedirect),
    Failing("RedirectLoop", ContractSite::kTrusted, standin_fault::kRedirectLoop),
    Failing("InterimFlood", ContractSite::kTrusted, standin_fault::kInterimFlood),
    Failing("Untrusted", ContractSite::kUntrusted, ""),
    Failing("Refused", ContractSite::kRefused, ""),
};

}  // namespace keldo
