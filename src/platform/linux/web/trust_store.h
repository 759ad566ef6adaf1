#pragma once
// Where the system's trusted certificates come from. Reading the whole
// bundle costs a run more than its handshake does, while a run needs one
// chain: the same certificates, hashed by subject in a folder (what
// update-ca-certificates writes beside the bundle), are looked up one
// issuer at a time instead. A folder that cannot serve every one of its
// certificates is not used; the bundle is, as it always was.
#include <string>

namespace keldo {

struct SystemTrust {
  std::string folder;  // the hashed folder to look issuers up in; empty: the bundle
  std::string note;    // why the bundle, for the diagnostic lines; empty with the folder
};

// `folder`: the hashed folder libcurl was built to use; empty when it has none.
SystemTrust ChooseSystemTrust(const std::string& folder);

}  // namespace keldo
