#include "platform/linux/web/web_client.h"

#include "platform/linux/web/file_replace.h"

namespace keldo {

std::int32_t CurlWebClient::Fail(const std::string& text) {
  failure_ = FromUtf8(text);
  return 0;
}

void CurlWebClient::Note(const std::string& url, const Exchange& exchange) {
  routeNotes_.assign(1, FromUtf8("Proxy for " + url + ": " + exchange.route));
  if (!exchange.trustNote.empty()) routeNotes_.push_back(FromUtf8(exchange.trustNote));
}

std::int32_t CurlWebClient::FetchToFile(const Text& address, const Text& localPath) {
  StartCall();
  const std::string url = ToUtf8(address);
  const Exchange exchange = RunExchange(session_, url, std::nullopt, limits_);
  Note(url, exchange);
  lastCallOK_ = exchange.answered ? 1 : 0;
  if (!exchange.answered) return Fail(exchange.failure);
  if (exchange.status < 200 || exchange.status > 299) {
    return Fail("HTTP status " + std::to_string(exchange.status) + " from " + url);
  }
  // The folder must exist; the file itself may not yet.
  const auto target = paths_.Locate(localPath);
  if (!target || target->missing.size() > 1) {
    return Fail("No folder for " + ToUtf8(localPath));
  }
  const std::string error = ReplaceFileWith(target->Full(), exchange.body);
  return error.empty() ? 1 : Fail(error);
}

std::unique_ptr<WebReply> CurlWebClient::SubmitForm(const Text& address, const FormFields& fields) {
  StartCall();
  const std::string url = ToUtf8(address);
  Exchange exchange = RunExchange(session_, url, EncodeForm(fields), limits_);
  Note(url, exchange);
  lastCallOK_ = exchange.answered ? 1 : 0;
  if (!exchange.answered) {
    Fail(exchange.failure);
    return std::make_unique<WebReply>(Text());
  }
  // Any status is an answer whose page the caller reads: the call did not
  // fail, so there is no failure to describe.
  return std::make_unique<WebReply>(FromUtf8(exchange.body));
}

}  // namespace keldo
