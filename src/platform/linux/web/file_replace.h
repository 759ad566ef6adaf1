#pragma once
#include <string>

namespace keldo {

// Writes `bytes` to a new file beside `target` (created exclusively, never
// through a link) and renames it over `target` only once it is complete,
// so a half-finished write or a link planted at `target` can never be
// written through. Returns the empty text on success, else the failure
// with errno and its text; on failure `target` is untouched.
std::string ReplaceFile(const std::string& folder, const std::string& target,
                        const std::string& bytes);

}  // namespace keldo
