#include "platform/linux/web/trust_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <memory>

#include "platform/linux/posix_error.h"

namespace keldo {

namespace {

// Far more names than any system's store holds; a larger folder is not
// read to its end.
constexpr std::size_t kMaxFolderNames = 65536;

// A name OpenSSL looks an issuer up by: the subject's hash in eight
// lower-case hex digits, a dot and a sequence number ("5ad8a5d6.0").
// Revocation lists ("5ad8a5d6.r0") are no certificates.
bool IsHashName(const char* name) {
  for (int i = 0; i < 8; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  if (name[8] != '.' || name[9] == '\0') return false;
  for (const char* c = name + 9; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
  }
  return true;
}

struct DirClose {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

// OpenSSL stops looking at the first hash name it cannot open, so one
// broken link would quietly drop a certificate the bundle still holds
// (and every one after it under the same hash): each must lead to a
// readable file. Whether each file parses is left to the lookup, which
// reading them all here would make pointless; one that does not fails the
// chains that need it, and trusts nothing.
std::string FolderProblem(const std::string& folder) {
  const std::unique_ptr<DIR, DirClose> dir(::opendir(folder.c_str()));
  if (!dir) return ErrnoText("Reading " + folder, errno);
  std::size_t names = 0;
  std::size_t hashNames = 0;
  while (true) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) return ErrnoText("Reading " + folder, errno);
      break;
    }
    if (++names > kMaxFolderNames) {
      return "it holds more than " + std::to_string(kMaxFolderNames) + " names";
    }
    if (!IsHashName(entry->d_name)) continue;
    const std::string path = folder + "/" + entry->d_name;
    struct stat st {};
    if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) != 0 ||
        ::faccessat(::dirfd(dir.get()), entry->d_name, R_OK, 0) != 0) {
      return ErrnoText("Opening " + path, errno);
    }
    if (!S_ISREG(st.st_mode)) return path + " is no file";
    ++hashNames;
  }
  return hashNames == 0 ? "it holds no certificate under a hash name" : "";
}

}  // namespace

SystemTrust ChooseSystemTrust(const std::string& folder) {
  if (folder.empty()) return {"", "Trust: the system's bundle; libcurl names no hashed folder"};
  const std::string problem = FolderProblem(folder);
  if (problem.empty()) return {folder, ""};
  return {"", "Trust: the system's bundle, not the hashed folder " + folder + ": " + problem};
}

}  // namespace keldo
