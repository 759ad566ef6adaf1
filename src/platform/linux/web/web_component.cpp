#include "platform/linux/web/web_component.h"

#include "platform/linux/files/file_tool.h"
#include "platform/linux/web/web_client.h"

namespace keldo {

std::unique_ptr<WebClient> CurlWebComponent::NewWebClient() {
  return std::make_unique<CurlWebClient>(paths_, session_, limits_);
}

std::unique_ptr<FileTool> CurlWebComponent::NewFileTool() {
  return std::make_unique<PrefixFileTool>(paths_);
}

}  // namespace keldo
