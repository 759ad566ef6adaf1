#include "platform/windows/web/web_component.h"

#include "platform/windows/files/file_tool.h"
#include "platform/windows/web/web_client.h"

namespace keldo {

std::unique_ptr<WebClient> WinHttpComponent::NewWebClient() {
  return std::make_unique<WinHttpClient>();
}

std::unique_ptr<FileTool> WinHttpComponent::NewFileTool() { return std::make_unique<FolderTool>(); }

}  // namespace keldo
