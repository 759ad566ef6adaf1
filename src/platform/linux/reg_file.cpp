#include "platform/linux/reg_file.h"

#include "platform/linux/bounded_file.h"
#include "platform/linux/name_fold.h"

namespace keldo {

namespace {

// Registry files of busy prefixes reach a few MiB; this is far beyond.
constexpr std::size_t kMaxRegFileBytes = 64 * 1024 * 1024;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

void RegFile::Want(TextView key) {
  if (wanted_.insert(FoldName(key)).second) loaded_ = false;
}

const RegValues* RegFile::Key(TextView key) {
  Want(key);
  return Current().Key(key);
}

const RegValue* RegFile::Value(TextView key, TextView name) {
  Want(key);
  return Current().Value(key, name);
}

const RegHive& RegFile::Current() {
  struct stat now {};
  if (loaded_ && ::stat(path_.c_str(), &now) == 0 && SameFile(now, identity_)) return hive_;
  hive_ = RegHive();
  RegReader reader(wanted_);
  struct stat readStat {};
  loaded_ = ReadFileInPieces(path_, kMaxRegFileBytes, &readStat, [&](std::string_view piece) {
    reader.Feed(piece);
    return reader.WantsMore();
  });
  if (loaded_) hive_ = reader.Finish();
  identity_ = readStat;
  return hive_;
}

}  // namespace keldo
