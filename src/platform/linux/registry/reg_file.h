#pragma once
#include <sys/stat.h>

#include <string>

#include "platform/linux/registry/reg_reader.h"

namespace keldo {

// Where Wine places each file in the registry: links name their targets
// from the registry's top.
inline constexpr char16_t kUserRegRoot[] = u"User\\S-1-5-21-0-0-0-1000";
inline constexpr char16_t kSystemRegRoot[] = u"Machine";

// A registry file of the prefix, of which only the keys asked for are kept.
// It is read again only when it has changed on disk or a key not yet kept
// is asked for: a check run looks up one key per drive letter, and Wine
// rewrites the file whenever a program changes the registry. Naming every
// key a run reads before its first look-up reads the file once.
class RegFile {
 public:
  // `root`: the file's place in the registry, kUserRegRoot or kSystemRegRoot.
  RegFile(std::string path, TextView root) : path_(std::move(path)), root_(root) {}
  // Keeps `key` from the next read on.
  void Want(TextView key);
  // As Wine opens the key in the file as it is now, links followed: nothing
  // when the key is absent, or the file missing, unreadable, larger than any
  // real registry file, or not in Wine's format.
  const RegValues* Key(TextView key);
  const RegValue* Value(TextView key, TextView name);
  // The errno of the last read when the file is there but could not be
  // opened or read (EACCES, EMFILE, EIO, ...); 0 when it was read, is
  // missing, or is no registry file. A look-up reads it as absent either
  // way: the caller decides whether such a file is a failure.
  int ReadError() const { return readError_; }
  const std::string& Path() const { return path_; }

 private:
  const RegHive& Current();
  bool ReadOnce();

  std::string path_;
  Text root_;
  RegKeySet asked_;
  RegKeySet wanted_;  // the keys asked for and those their links lead to
  bool loaded_ = false;
  int readError_ = 0;
  struct stat identity_ {};
  RegHive hive_;
};

}  // namespace keldo
