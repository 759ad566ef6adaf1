#include "platform/linux/registry/reg_file.h"

#include <cerrno>

#include "platform/linux/files/bounded_file.h"
#include "platform/linux/text/name_fold.h"

namespace keldo {

namespace {

// Registry files of busy prefixes reach a few MiB; this is far beyond.
constexpr std::size_t kMaxRegFileBytes = 64 * 1024 * 1024;
// A link found in one pass names keys the next pass must keep, one link
// further each pass: a prefix without links is read once, and a chain of
// links ends where Wine gives up on it, 32 links on.
constexpr int kMaxPasses = 34;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

void RegFile::Want(TextView key) {
  if (asked_.insert(FoldName(key)).second) loaded_ = false;
}

const RegValues* RegFile::Key(TextView key) {
  Want(key);
  const RegHive& hive = Current();
  const auto opened = hive.Resolve(key, root_, nullptr);
  return opened ? hive.Key(*opened) : nullptr;
}

const RegValue* RegFile::Value(TextView key, TextView name) {
  const RegValues* values = Key(key);
  if (values == nullptr) return nullptr;
  const auto found = values->find(FoldName(name));
  return found == values->end() ? nullptr : &found->second;
}

const RegHive& RegFile::Current() {
  struct stat now {};
  if (loaded_ && ::stat(path_.c_str(), &now) == 0 && SameFile(now, identity_)) return hive_;
  wanted_ = asked_;
  for (int pass = 0; pass < kMaxPasses && ReadOnce(); ++pass) {
    RegKeySet more;
    for (const Text& key : asked_) hive_.Resolve(key, root_, &more);
    const std::size_t before = wanted_.size();
    wanted_.insert(more.begin(), more.end());
    if (wanted_.size() == before) break;
  }
  return hive_;
}

bool RegFile::ReadOnce() {
  hive_ = RegHive();
  RegReader reader(wanted_);
  struct stat readStat {};
  const BoundedRead outcome =
      ReadFileInPieces(path_, kMaxRegFileBytes, &readStat, [&](std::string_view piece) {
        reader.Feed(piece);
        return reader.WantsMore();
      });
  loaded_ = outcome.read;
  // A file that is not there is a registry without keys, as Wine makes it.
  readError_ = outcome.error == ENOENT || outcome.error == ENOTDIR ? 0 : outcome.error;
  if (loaded_) hive_ = reader.Finish();
  identity_ = readStat;
  return loaded_;
}

}  // namespace keldo
