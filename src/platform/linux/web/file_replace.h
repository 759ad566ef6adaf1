#pragma once
#include <string>

namespace keldo {

// A downloaded file replaced whole, the same contract as the Windows
// layer's: `bytes` go to a new file beside `path` (created exclusively,
// never through a link), which is renamed over `path` only once it is
// complete, so a half-finished write or a link planted at `path` can never
// be written through. The empty text on success, else the failure with
// errno and its text, and then `path` is left as it was.
std::string ReplaceFileWith(const std::string& path, const std::string& bytes);

}  // namespace keldo
