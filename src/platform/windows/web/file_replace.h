#pragma once
#include <string>

#include "base/text.h"

namespace keldo {

// Writes `bytes` to a new temporary file beside `path` and only then moves it
// over `path`, so that `path` never holds half a download. False, with
// `failure` describing why, when `path` is left as it was.
bool ReplaceFileWith(const Text& path, const std::string& bytes, Text& failure);

}  // namespace keldo
