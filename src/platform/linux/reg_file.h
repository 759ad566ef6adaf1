#pragma once
#include <sys/stat.h>

#include <string>

#include "platform/linux/reg_hive.h"

// A registry file of the prefix, parsed again only when it has changed on
// disk: a check run looks up one key per drive letter, and Wine rewrites
// the file whenever a program changes the registry.
class RegFile {
 public:
  explicit RegFile(std::string path) : path_(std::move(path)) {}
  // The hive as the file holds it now; empty when the file is missing,
  // unreadable, larger than any real registry file, or not in Wine's format.
  const RegHive& Current();

 private:
  std::string path_;
  bool loaded_ = false;
  struct stat identity_ {};
  RegHive hive_;
};
