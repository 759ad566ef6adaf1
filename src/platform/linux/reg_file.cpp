#include "platform/linux/reg_file.h"

#include "platform/linux/bounded_file.h"

namespace {

// Registry files of busy prefixes reach a few MiB; this is far beyond.
constexpr std::size_t kMaxRegFileBytes = 64 * 1024 * 1024;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

const RegHive& RegFile::Current() {
  struct stat now {};
  if (loaded_ && ::stat(path_.c_str(), &now) == 0 && SameFile(now, identity_)) return hive_;
  struct stat readStat {};
  const auto content = ReadWholeFile(path_, kMaxRegFileBytes, &readStat);
  hive_ = content ? ParseRegFile(*content) : RegHive();
  loaded_ = content.has_value();
  identity_ = readStat;
  return hive_;
}
