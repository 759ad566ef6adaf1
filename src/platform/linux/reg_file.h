#pragma once
#include <sys/stat.h>

#include <string>

#include "platform/linux/reg_reader.h"

namespace keldo {

// A registry file of the prefix, of which only the keys asked for are kept.
// It is read again only when it has changed on disk or a key not yet kept
// is asked for: a check run looks up one key per drive letter, and Wine
// rewrites the file whenever a program changes the registry. Naming every
// key a run reads before its first look-up reads the file once.
class RegFile {
 public:
  explicit RegFile(std::string path) : path_(std::move(path)) {}
  // Keeps `key` from the next read on.
  void Want(TextView key);
  // As the file holds them now: nothing when the key is absent, or the file
  // missing, unreadable, larger than any real registry file, or not in
  // Wine's format.
  const RegValues* Key(TextView key);
  const RegValue* Value(TextView key, TextView name);

 private:
  const RegHive& Current();

  std::string path_;
  RegKeySet wanted_;
  bool loaded_ = false;
  struct stat identity_ {};
  RegHive hive_;
};

}  // namespace keldo
