#pragma once
#include "base/web_component.h"

namespace keldo {

// The web component over WinHTTP; local paths are Windows paths. Its
// clients share the process's WinHTTP sessions and connections
// (winhttp_pool.h), so a run's requests share one connection.
class WinHttpComponent final : public WebComponent {
 public:
  std::unique_ptr<WebClient> NewWebClient() override;
  std::unique_ptr<FileTool> NewFileTool() override;
};

}  // namespace keldo
