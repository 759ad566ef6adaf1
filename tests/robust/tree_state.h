#pragma once
// What a folder tree looks like without reading file contents (a 100 MB
// file stays cheap): every entry's kind, and for a file its size and
// modification time, for a link its target. Two equal states mean nothing
// was written, created, deleted or replaced.
#include <map>
#include <string>

namespace keldo {

using TreeState = std::map<std::string, std::string>;  // relative path -> description

TreeState ReadTreeState(const std::string& root);

}  // namespace keldo
