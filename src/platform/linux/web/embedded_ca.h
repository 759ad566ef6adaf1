#pragma once
#include <string_view>

namespace keldo {

// PEM certificates of extra CAs that a test build trusts beside the
// system's; empty in every other build. Embedded at build time, so no file
// read at run time can add trust.
std::string_view EmbeddedCaPem();

}  // namespace keldo
