#pragma once
#include "base/web_component.h"
#include "platform/linux/prefix/wine_paths.h"
#include "platform/linux/web/curl_exchange.h"

namespace keldo {

// The web component over libcurl; local paths are Windows paths under the
// prefix. Every client it makes shares its one HTTPS session, so a run's
// requests share one connection.
class CurlWebComponent : public WebComponent {
 public:
  CurlWebComponent(const WinePaths& paths, WebLimits limits) : paths_(paths), limits_(limits) {}
  // Trusting the system's certificates as hashed in `trustFolder`.
  CurlWebComponent(const WinePaths& paths, WebLimits limits, std::string trustFolder)
      : paths_(paths), limits_(limits), session_(std::move(trustFolder)) {}
  std::unique_ptr<WebClient> NewWebClient() override;
  std::unique_ptr<FileTool> NewFileTool() override;

 private:
  const WinePaths& paths_;
  WebLimits limits_;
  CurlSession session_;
};

}  // namespace keldo
