#pragma once
#include "base/web_component.h"
#include "platform/linux/prefix/wine_paths.h"
#include "platform/linux/web/curl_exchange.h"

namespace keldo {

class CurlWebClient : public WebCallRecord {
 public:
  CurlWebClient(const WinePaths& paths, CurlSession& session, WebLimits limits)
      : paths_(paths), session_(session), limits_(limits) {}
  std::int32_t FetchToFile(const Text& address, const Text& localPath) override;
  std::unique_ptr<WebReply> SubmitForm(const Text& address, const FormFields& fields) override;

 private:
  std::int32_t Fail(const std::string& text);
  // The call's diagnostic lines: its route, and the trust when it is not the usual.
  void Note(const std::string& url, const Exchange& exchange);

  const WinePaths& paths_;
  CurlSession& session_;
  WebLimits limits_;
};

}  // namespace keldo
