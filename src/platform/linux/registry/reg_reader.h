#pragma once
// Reads a file in Wine's registry format in one pass, piece by piece, and
// keeps only the keys asked for: a long-used prefix holds hundreds of
// thousands of keys that no check reads, and a hostile one may hold values
// of any size. Memory follows what is kept, never the file.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/registry/reg_hive.h"

namespace keldo {

// No line of a value we keep comes near this: a value of kMaxRegValueBytes
// written with Wine's longest escapes, and a name of the longest kind.
inline constexpr std::size_t kMaxRegLineBytes = 1024 * 1024;
// The largest value kept. A remembered path the ANSI calls would still
// hand out (64 KiB in a single-byte code page) takes up to four times that
// as UTF-16; every larger value reads as absent.
inline constexpr std::size_t kMaxRegValueBytes = 256 * 1024;
// All kept values together, names and bookkeeping included; values beyond
// it read as absent. A real settings section or remembered mapping holds a
// few hundred bytes.
inline constexpr std::size_t kMaxRegKeptBytes = 1024 * 1024;

class RegReader {
 public:
  // `wanted` holds folded key paths and must outlive the reader.
  explicit RegReader(const RegKeySet& wanted) : wanted_(wanted) {}

  // The file's next bytes, in pieces of any size.
  void Feed(std::string_view bytes);
  // False once the first line shows that the file is no registry at all:
  // the rest need not be read.
  bool WantsMore() const { return state_ != State::NoRegistry; }
  // The kept keys, once the last piece is fed, as Wine loads them: a file
  // without the format's exact first line gives an empty hive; a line that
  // cannot be understood is passed over, and a value whose data cannot be
  // leaves the value empty, of no type.
  RegHive Finish();

 private:
  enum class State { FirstLine, Lines, NoRegistry };
  enum class HexEnd { Done, More, Bad };

  void Append(std::string_view piece);
  void EndLine();
  void OnLine(std::string_view line);
  void OnLongLine();
  void OnKeyHeader(std::string_view line);
  void OnOption(std::string_view line);
  void OnValueLine(std::string_view line);
  void StartHex(std::uint32_t type, std::string_view data);
  HexEnd ReadHex(std::string_view data);
  void EndHex(HexEnd end);
  // Whether the key is asked for or lies on the way to one that is.
  bool Tracks(TextView folded);
  // Whether a value of `dataBytes` would be kept.
  bool Fits(std::size_t dataBytes) const;
  // Sets the current key's value `name`; nothing erases it: a value too
  // large to keep reads as absent.
  void Store(const Text& name, std::optional<RegValue> value);

  const RegKeySet& wanted_;
  State state_ = State::FirstLine;
  RegHive hive_;
  std::size_t keptBytes_ = 0;

  // The line being read; a line longer than kMaxRegLineBytes keeps only
  // its head and its last two bytes, unless all it has past the bound is
  // blanks, which no reading needs.
  std::string line_;
  bool blanksPast_ = false;
  bool longLine_ = false;
  bool lineCut_ = false;  // the line being understood is a long line's head
  bool lineGoesOn_ = false;
  std::string head_;
  std::string tail_;

  // Reused for every key and value name read.
  Text key_;
  Text name_;
  Text text_;
  Text probe_;
  Text folded_;      // the key line's path, folded, name by name
  Text foldedName_;  // the value's name, folded

  bool haveKey_ = false;
  std::optional<Text> keptKey_;  // folded, when the current key is tracked
  bool keepValues_ = false;      // all its values, not only a link's target

  // A hex value whose lines end in a backslash goes on in the next line.
  bool inHex_ = false;
  bool hexWanted_ = false;
  bool hexFits_ = false;
  Text hexName_;
  RegValue hexValue_;
  // The lines that go on from a value line too long to be read.
  bool skipContinuation_ = false;
};

// The whole text of a registry file at once.
RegHive ParseRegFile(std::string_view content, const RegKeySet& wanted);

}  // namespace keldo
