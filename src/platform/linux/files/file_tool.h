#pragma once
#include "base/web_component.h"
#include "platform/linux/prefix/wine_paths.h"

namespace keldo {

// Makes folders named by Windows paths under the prefix, parents included.
class PrefixFileTool : public FileTool {
 public:
  explicit PrefixFileTool(const WinePaths& paths) : paths_(paths) {}
  std::int32_t EnsureFolder(const Text& folder) override;

 private:
  const WinePaths& paths_;
};

}  // namespace keldo
