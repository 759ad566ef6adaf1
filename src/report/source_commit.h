#pragma once

namespace keldo {

// The source commit this build came from: a git commit id, with "-modified"
// when the tree held uncommitted changes, or "unknown" outside git.
extern const char kSourceCommit[];

}  // namespace keldo
