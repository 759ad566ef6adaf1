#pragma once
// The web client over WinHTTP: https only, certificates always checked
// against the system's trust store, bounded in time and in size.
#include <windows.h>

#include <string>

#include "base/web_component.h"

namespace keldo {

class WinHttpClient final : public WebCallRecord {
 public:
  std::int32_t FetchToFile(const Text& address, const Text& localPath) override;
  std::unique_ptr<WebReply> SubmitForm(const Text& address, const FormFields& fields) override;

 private:
  struct Answer {
    DWORD status = 0;
    std::string body;
  };
  struct RequestRun;  // one call's requests (web_client.cpp)
  // True with a complete answer of any status; false with failure_ set.
  bool Exchange(Text address, std::wstring method, std::string body, const wchar_t* headers,
                Answer& answer);
};

}  // namespace keldo
