#pragma once
// What the file and web probes return in place of a line they could not
// get, and what the run compares their results with before it reads a
// version from them. A line that reads "error" cannot be told from a
// failure: that is the product's own rule, kept as it stands.

namespace keldo {

inline constexpr const char16_t* kFailureSentinel = u"error";

}  // namespace keldo
