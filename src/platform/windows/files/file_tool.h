#pragma once
#include <vector>

#include "base/web_component.h"

namespace keldo {

// Makes a folder and every missing parent of it.
class FolderTool final : public FileTool {
 public:
  std::int32_t EnsureFolder(const Text& folder) override;
};

// The folders from the outermost below the root down to `folder` itself,
// each without a trailing backslash. A drive root ("D:\") or a share
// ("\\server\share\") is never among them: it cannot be made.
std::vector<Text> FolderChain(const Text& folder);

}  // namespace keldo
