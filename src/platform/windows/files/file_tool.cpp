#include "platform/windows/files/file_tool.h"

#include <windows.h>

#include "platform/windows/text/wide_text.h"
#include "platform/windows/wait/responsive_wait.h"

namespace keldo {

namespace {

bool IsFolder(const Text& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Where the first folder that could be made begins.
std::size_t FirstMakeable(const Text& folder) {
  if (folder.rfind(u"\\\\", 0) == 0) {  // \\server\share\...
    const auto server = folder.find(u'\\', 2);
    if (server == Text::npos) return folder.size();
    const auto share = folder.find(u'\\', server + 1);
    return share == Text::npos ? folder.size() : share + 1;
  }
  if (folder.size() >= 2 && folder[1] == u':')
    return folder.size() > 2 && folder[2] == u'\\' ? 3 : 2;
  return folder.rfind(u"\\", 0) == 0 ? 1 : 0;
}

}  // namespace

std::vector<Text> FolderChain(const Text& folder) {
  std::vector<Text> chain;
  std::size_t at = FirstMakeable(folder);
  while (at < folder.size()) {
    std::size_t end = folder.find(u'\\', at);
    if (end == Text::npos) end = folder.size();
    if (end > at) chain.push_back(folder.substr(0, end));
    at = end + 1;
  }
  return chain;
}

std::int32_t FolderTool::EnsureFolder(const Text& folder) {
  // The folder may lie on a slow network drive: the window stays served
  // meanwhile (responsive_wait.h).
  return RunServed([folder] {
    // A failed step is not reported here: the answer is whether the folder
    // is there in the end, and the caller tells the user when it is not.
    const std::vector<Text> chain = FolderChain(folder);
    for (const Text& step : chain) {
      if (!IsFolder(step)) CreateDirectoryW(Wide(step).c_str(), nullptr);
    }
    return IsFolder(chain.empty() ? folder : chain.back()) ? 1 : 0;
  });
}

}  // namespace keldo
