#pragma once
#include <string>

#include "base/text.h"

namespace keldo {

// A downloaded file replaced whole, the same contract as the Linux layer's:
// `bytes` go to a new temporary file beside `path` (created new, never one
// someone else put there), which only then is moved over `path`, so that
// `path` never holds half a download. The empty text on success, else the
// failure with the system's code and text, and then `path` is left as it
// was.
std::string ReplaceFileWith(const Text& path, const std::string& bytes);

}  // namespace keldo
