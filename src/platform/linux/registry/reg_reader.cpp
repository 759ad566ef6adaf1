#include "platform/linux/registry/reg_reader.h"

#include <algorithm>

#include "platform/linux/text/name_fold.h"

namespace keldo {

namespace {

// What is left of a line too long to read: enough for a key header's or a
// value's name and its data type.
constexpr std::size_t kLongLineHeadBytes = 4096;
// A kept value costs its bytes and about this much besides: a map node, and
// a name and a data buffer of their own.
constexpr std::size_t kKeptValueOverhead = 160;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool EndsInBackslash(std::string_view line) { return !line.empty() && line.back() == '\\'; }

std::string_view WithoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Appends raw bytes of a line as text; bytes outside ASCII are taken as
// UTF-8. ASCII alone, the common case, allocates nothing.
void AppendRaw(std::string_view raw, Text& out) {
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (static_cast<unsigned char>(raw[i]) >= 0x80) {
      out += FromUtf8(raw.substr(i));
      return;
    }
    out.push_back(static_cast<char16_t>(raw[i]));
  }
}

// Reads an escaped string up to an unescaped `end` into `out`, Wine's
// escapes included. `at` starts after the opening delimiter and ends after
// the closing one. False when the closing delimiter is missing. `out` is
// reused, so that passing over a long file does not churn the heap.
bool ParseEscaped(std::string_view line, std::size_t& at, char end, Text& out) {
  out.clear();
  std::size_t rawStart = at;
  auto flushRaw = [&](std::size_t upTo) { AppendRaw(line.substr(rawStart, upTo - rawStart), out); };
  while (at < line.size()) {
    const char c = line[at];
    if (c == end) {
      flushRaw(at);
      ++at;
      return true;
    }
    if (c != '\\') {
      ++at;
      continue;
    }
    flushRaw(at);
    if (++at >= line.size()) return false;
    const char e = line[at++];
    switch (e) {
      case 'a': out.push_back(u'\a'); break;
      case 'b': out.push_back(u'\b'); break;
      case 'e': out.push_back(u'\x1b'); break;
      case 'f': out.push_back(u'\f'); break;
      case 'n': out.push_back(u'\n'); break;
      case 'r': out.push_back(u'\r'); break;
      case 't': out.push_back(u'\t'); break;
      case 'v': out.push_back(u'\v'); break;
      case 'x': {
        unsigned unit = 0;
        int digits = 0;
        while (digits < 4 && at < line.size() && HexDigit(line[at]) >= 0) {
          unit = unit * 16 + static_cast<unsigned>(HexDigit(line[at++]));
          ++digits;
        }
        out.push_back(digits == 0 ? u'x' : static_cast<char16_t>(unit));
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned unit = static_cast<unsigned>(e - '0');
          for (int digits = 1; digits < 3 && at < line.size() && line[at] >= '0' && line[at] <= '7';
               ++digits) {
            unit = unit * 8 + static_cast<unsigned>(line[at++] - '0');
          }
          out.push_back(static_cast<char16_t>(unit));
        } else {
          rawStart = at - 1;  // "\\", "\"" and the like stand for themselves
          continue;
        }
    }
    rawStart = at;
  }
  return false;  // no closing delimiter
}

std::vector<unsigned char> Utf16WithNul(const Text& text) {
  std::vector<unsigned char> data;
  data.reserve(text.size() * 2 + 2);
  for (const char16_t unit : text) {
    data.push_back(static_cast<unsigned char>(unit & 0xFF));
    data.push_back(static_cast<unsigned char>(unit >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return data;
}

// The blanks of the C locale, which Wine's loader skips around names,
// '=', data and the bytes of hex data.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::size_t SkipBlanks(std::string_view s, std::size_t at) {
  while (at < s.size() && IsBlank(s[at])) ++at;
  return at;
}

// A number as strtoul(s, &end, 16) reads it, the way Wine reads types,
// dwords and hex bytes: blanks, a sign and "0x" before the digits; a value
// too large for 64 bits is the largest one; no digits read nothing (`end`
// stays `at`).
struct HexNumber {
  std::uint64_t value;
  std::size_t end;
};

HexNumber ReadHexNumber(std::string_view s, std::size_t at) {
  std::size_t i = SkipBlanks(s, at);
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
      HexDigit(s[i + 2]) >= 0) {
    i += 2;
  }
  const std::size_t digits = i;
  std::uint64_t value = 0;
  bool overflow = false;
  for (; i < s.size() && HexDigit(s[i]) >= 0; ++i) {
    if (value > (UINT64_MAX >> 4)) overflow = true;
    value = value * 16 + static_cast<std::uint64_t>(HexDigit(s[i]));
  }
  if (i == digits) return HexNumber{0, at};
  if (overflow) return HexNumber{UINT64_MAX, i};
  return HexNumber{negative ? 0 - value : value, i};
}

// Where a hex value's bytes begin, and their type: "hex:" or "hex(<n>):".
struct DataStart {
  std::uint32_t type;
  std::size_t at;
};

std::optional<DataStart> FindHexStart(std::string_view rest) {
  if (StartsWith(rest, "hex:")) return DataStart{kRegBinary, 4};
  if (!StartsWith(rest, "hex(")) return std::nullopt;
  const HexNumber type = ReadHexNumber(rest, 4);
  if (rest.substr(type.end, 2) != "):") return std::nullopt;
  return DataStart{static_cast<std::uint32_t>(type.value), type.end + 2};
}

// Where a text value's text begins, after its opening quote: only these
// forms are texts to Wine.
std::optional<DataStart> FindTextStart(std::string_view rest) {
  if (StartsWith(rest, "\"")) return DataStart{kRegSz, 1};
  if (StartsWith(rest, "str:\"")) return DataStart{kRegSz, 5};
  if (StartsWith(rest, "str(2):\"")) return DataStart{kRegExpandSz, 8};
  if (StartsWith(rest, "str(7):\"")) return DataStart{kRegMultiSz, 8};
  return std::nullopt;
}

RegValue Dword(std::uint64_t n) {
  return RegValue{kRegDword,
                  {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                   static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)}};
}

// A value whose data Wine cannot read: it still replaces the value of that
// name, empty and of no type.
RegValue Unreadable() { return RegValue{0, {}}; }

constexpr char16_t kLinkValueName[] = u"symboliclinkvalue";
constexpr std::string_view kFirstLine = "WINE REGISTRY Version 2";

}  // namespace

void RegReader::Feed(std::string_view bytes) {
  while (!bytes.empty() && WantsMore()) {
    const auto end = bytes.find('\n');
    Append(bytes.substr(0, end));
    if (end == std::string_view::npos) return;
    EndLine();
    bytes.remove_prefix(end + 1);
  }
}

RegHive RegReader::Finish() {
  if (!line_.empty() || longLine_) EndLine();  // a last line without its line end
  if (state_ != State::Lines) return RegHive();
  // A hex value still going on at the end of the file is incomplete.
  if (inHex_) EndHex(HexEnd::Bad);
  return std::move(hive_);
}

void RegReader::Append(std::string_view piece) {
  if (!longLine_ && !blanksPast_) {
    const std::size_t room = kMaxRegLineBytes - line_.size();
    if (piece.size() <= room) {
      line_.append(piece);
      return;
    }
    line_.append(piece.substr(0, room));
    piece.remove_prefix(room);
    blanksPast_ = true;
  }
  if (!longLine_) {
    std::size_t first = 0;
    while (first < piece.size() && IsBlank(piece[first])) ++first;
    if (first == piece.size()) return;  // blanks past the bound: Wine reads past them too
    longLine_ = true;
    head_ = line_.substr(0, kLongLineHeadBytes);
    line_.clear();
    line_.shrink_to_fit();
    piece.remove_prefix(first);
  }
  if (piece.size() >= 2) {
    tail_ = piece.substr(piece.size() - 2);
  } else {
    tail_.append(piece);
    if (tail_.size() > 2) tail_.erase(0, tail_.size() - 2);
  }
}

void RegReader::EndLine() {
  if (longLine_) {
    OnLongLine();
  } else {
    OnLine(WithoutCr(line_));
  }
  line_.clear();
  blanksPast_ = false;
  longLine_ = false;
  head_.clear();
  tail_.clear();
}

void RegReader::OnLine(std::string_view line) {
  // Wine reads each line as a C string: a NUL ends it.
  line = line.substr(0, line.find('\0'));
  if (state_ == State::FirstLine) {
    state_ = line == kFirstLine ? State::Lines : State::NoRegistry;
    return;
  }
  if (inHex_) {
    EndHex(ReadHex(line.substr(SkipBlanks(line, 0))));
    return;
  }
  if (skipContinuation_) {
    skipContinuation_ = EndsInBackslash(line);
    return;
  }
  line.remove_prefix(SkipBlanks(line, 0));
  if (line.empty()) return;
  if (line[0] == '[') {
    OnKeyHeader(line);
  } else if (line[0] == '#') {
    OnOption(line);
  } else if (haveKey_ && (line[0] == '"' || line[0] == '@')) {
    OnValueLine(line);
  }
}

// A line too long to hold anything we keep: its head still names a key or
// a value, and where it ends still counts.
void RegReader::OnLongLine() {
  if (head_.find('\0') != std::string::npos) {
    OnLine(head_);  // a NUL ends the line within its head
    return;
  }
  const bool goesOn = EndsInBackslash(WithoutCr(tail_));
  if (state_ == State::FirstLine) {
    state_ = State::NoRegistry;
    return;
  }
  if (inHex_) {
    // Its bytes alone are more than any kept value.
    hexFits_ = false;
    if (!goesOn) EndHex(HexEnd::Done);
    return;
  }
  if (skipContinuation_) {
    skipContinuation_ = goesOn;
    return;
  }
  lineCut_ = true;
  lineGoesOn_ = goesOn;
  OnLine(head_);
  lineCut_ = false;
}

void RegReader::OnKeyHeader(std::string_view line) {
  std::size_t at = 1;
  haveKey_ = ParseEscaped(line, at, ']', key_);
  keptKey_.reset();
  keepValues_ = false;
  if (!haveKey_) return;
  FoldNameInPlace(key_);
  // Wine reads a key path name by name: backslashes at its ends or doubled
  // separate no empty names. One buffer serves every key line, so that a
  // file of many keys costs no allocation per key.
  folded_.clear();
  for (std::size_t from = 0; from < key_.size();) {
    const std::size_t end = std::min(key_.find(u'\\', from), key_.size());
    if (end > from) {
      // Wine writes no line for a key that has subkeys but no values of its
      // own; the registry still has it.
      if (!folded_.empty()) {
        if (Tracks(folded_)) {
          hive_.AddPath(folded_);
          if (wanted_.find(folded_) != wanted_.end()) hive_.AddKey(folded_);
        }
        folded_.push_back(u'\\');
      }
      folded_.append(key_, from, end - from);
    }
    from = end + 1;
  }
  if (!Tracks(folded_)) return;
  hive_.AddPath(folded_);
  keepValues_ = wanted_.find(folded_) != wanted_.end();
  if (keepValues_) hive_.AddKey(folded_);
  keptKey_ = folded_;
}

// Options of the key being read, or of the whole file before any key.
void RegReader::OnOption(std::string_view line) {
  if (haveKey_) {
    if (keptKey_ && StartsWith(line, "#link")) hive_.MarkLink(*keptKey_);
    return;
  }
  // Wine refuses a file made for a machine it does not know.
  if (StartsWith(line, "#arch=") && line != "#arch=win32" && line != "#arch=win64") {
    state_ = State::NoRegistry;
  }
}

void RegReader::OnValueLine(std::string_view line) {
  std::size_t at = 1;
  name_.clear();
  if (line[0] == '"' && !ParseEscaped(line, at, '"', name_)) return;
  at = SkipBlanks(line, at);
  if (at >= line.size() || line[at] != '=') return;
  const std::string_view rest = line.substr(SkipBlanks(line, at + 1));
  // A hex value decides which lines follow, whether it is kept or not.
  if (const auto hex = FindHexStart(rest)) {
    if (!lineCut_) {
      StartHex(hex->type, rest.substr(hex->at));
      return;
    }
    skipContinuation_ = lineGoesOn_;
    Store(name_, std::nullopt);
    return;
  }
  if (!keptKey_) return;
  if (StartsWith(rest, "dword:")) {
    Store(name_, Fits(4) ? std::optional(Dword(ReadHexNumber(rest, 6).value)) : std::nullopt);
    return;
  }
  const auto text = FindTextStart(rest);
  if (!text) {
    Store(name_, Unreadable());  // "-", str(1), or anything unknown
    return;
  }
  std::size_t textAt = text->at;
  if (!ParseEscaped(rest, textAt, '"', text_)) {
    // Without its end in a long line's head, the text is longer than any kept.
    Store(name_, lineCut_ ? std::nullopt : std::optional(Unreadable()));
    return;
  }
  if (!Fits(text_.size() * 2 + 2)) {
    Store(name_, std::nullopt);
    return;
  }
  Store(name_, RegValue{text->type, Utf16WithNul(text_)});
}

void RegReader::StartHex(std::uint32_t type, std::string_view data) {
  hexWanted_ = keptKey_.has_value();
  hexFits_ = hexWanted_ && Fits(0);
  hexName_ = name_;
  hexValue_ = RegValue{type, {}};
  EndHex(ReadHex(data));
}

// Bytes as Wine reads them: each a number of at most 0xff, then blanks, a
// comma and blanks; after the last, only blanks, or a backslash (and
// anything after it) for a value that goes on in the next line.
RegReader::HexEnd RegReader::ReadHex(std::string_view data) {
  std::size_t i = 0;
  while (i < data.size() && HexDigit(data[i]) >= 0) {
    const HexNumber byte = ReadHexNumber(data, i);
    if (byte.value > 0xff) return HexEnd::Bad;
    if (hexFits_ && !Fits(hexValue_.data.size() + 1)) {
      hexFits_ = false;
      hexValue_.data = {};
    }
    if (hexFits_) hexValue_.data.push_back(static_cast<unsigned char>(byte.value));
    i = SkipBlanks(data, byte.end);
    if (i < data.size() && data[i] == ',') ++i;
    i = SkipBlanks(data, i);
  }
  if (i == data.size()) return HexEnd::Done;
  return data[i] == '\\' ? HexEnd::More : HexEnd::Bad;
}

void RegReader::EndHex(HexEnd end) {
  inHex_ = end == HexEnd::More;
  if (inHex_) return;
  if (hexWanted_) {
    if (end == HexEnd::Bad) {
      Store(hexName_, Unreadable());
    } else {
      Store(hexName_, hexFits_ ? std::optional(std::move(hexValue_)) : std::nullopt);
    }
  }
  hexWanted_ = false;
  hexFits_ = false;
  hexName_.clear();
  hexValue_ = RegValue{};
}

bool RegReader::Tracks(TextView folded) {
  if (wanted_.find(folded) != wanted_.end()) return true;
  probe_.assign(folded);
  if (!probe_.empty()) probe_.push_back(u'\\');
  const auto below = wanted_.lower_bound(probe_);
  return below != wanted_.end() && TextView(*below).substr(0, probe_.size()) == probe_;
}

// Asked before a value is made at all, so that what is not kept costs no
// memory, not even for a moment.
bool RegReader::Fits(std::size_t dataBytes) const {
  return keptKey_.has_value() && dataBytes <= kMaxRegValueBytes &&
         keptBytes_ + dataBytes + name_.size() * 2 + kKeptValueOverhead <= kMaxRegKeptBytes;
}

void RegReader::Store(const Text& name, std::optional<RegValue> value) {
  if (!keptKey_) return;
  // Folded in a buffer of its own: a key crowded with values not kept costs
  // no allocation per value.
  foldedName_.assign(name);
  FoldNameInPlace(foldedName_);
  const Text& folded = foldedName_;
  const bool isLink = folded == kLinkValueName;
  if (!keepValues_ && !isLink) return;
  const std::size_t cost = value ? value->data.size() + name.size() * 2 + kKeptValueOverhead : 0;
  if (!value || value->data.size() > kMaxRegValueBytes || keptBytes_ + cost > kMaxRegKeptBytes) {
    if (isLink) hive_.EraseLinkTarget(*keptKey_);
    hive_.EraseValue(*keptKey_, folded);
    return;
  }
  keptBytes_ += cost;
  if (isLink) hive_.SetLinkTarget(*keptKey_, value->data);
  if (keepValues_) hive_.SetValue(*keptKey_, folded, std::move(*value));
}

RegHive ParseRegFile(std::string_view content, const RegKeySet& wanted) {
  RegReader reader(wanted);
  reader.Feed(content);
  return reader.Finish();
}

}  // namespace keldo
