#include "platform/linux/reg_reader.h"

#include <algorithm>

#include "platform/linux/name_fold.h"

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

std::optional<std::uint32_t> ParseHexNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t n = 0;
  for (const char c : digits) {
    if (HexDigit(c) < 0) return std::nullopt;
    n = n * 16 + static_cast<std::uint32_t>(HexDigit(c));
  }
  return n;
}

// The data of a value line after its '=': the string types' text, or
// where a hex value's bytes begin and their type.
struct HexStart {
  std::uint32_t type;
  std::size_t at;
};

std::optional<HexStart> FindHexStart(std::string_view rest) {
  if (StartsWith(rest, "hex:")) return HexStart{kRegBinary, 4};
  if (!StartsWith(rest, "hex(")) return std::nullopt;
  const auto close = rest.find("):");
  if (close == std::string_view::npos) return std::nullopt;
  const auto type = ParseHexNumber(rest.substr(4, close - 4));
  if (!type) return std::nullopt;
  return HexStart{*type, close + 2};
}

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
  // A hex value still going on at the end of the file is incomplete.
  if (state_ != State::Lines) return RegHive();
  return std::move(hive_);
}

void RegReader::Append(std::string_view piece) {
  if (!longLine_ && line_.size() + piece.size() <= kMaxRegLineBytes) {
    line_.append(piece);
    return;
  }
  if (!longLine_) {
    longLine_ = true;
    head_ = line_.substr(0, kLongLineHeadBytes);
    tail_ = line_.substr(line_.size() - std::min<std::size_t>(line_.size(), 2));
    line_.clear();
    line_.shrink_to_fit();
  }
  if (head_.size() < kLongLineHeadBytes) {
    head_.append(piece.substr(0, kLongLineHeadBytes - head_.size()));
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
  longLine_ = false;
  head_.clear();
  tail_.clear();
}

void RegReader::OnLine(std::string_view line) {
  if (state_ == State::FirstLine) {
    state_ = StartsWith(line, "WINE REGISTRY Version 2") ? State::Lines : State::NoRegistry;
    return;
  }
  if (inHex_) {
    EndHex(ReadHex(line));
    return;
  }
  if (skipContinuation_) {
    skipContinuation_ = EndsInBackslash(line);
    return;
  }
  if (line.empty() || line[0] == ';' || line[0] == '#') return;
  if (line[0] == '[') {
    OnKeyHeader(line);
  } else if (haveKey_ && (line[0] == '"' || line[0] == '@')) {
    OnValueLine(line);
  }
}

// A line too long to hold anything we keep is passed over; only where it
// ends and what it starts still count.
void RegReader::OnLongLine() {
  const bool goesOn = EndsInBackslash(WithoutCr(tail_));
  if (state_ == State::FirstLine) {
    state_ = StartsWith(head_, "WINE REGISTRY Version 2") ? State::Lines : State::NoRegistry;
    return;
  }
  if (inHex_) {
    // Its bytes alone are more than any kept value.
    keepHex_ = false;
    if (!goesOn) EndHex(HexEnd::Done);
    return;
  }
  if (skipContinuation_) {
    skipContinuation_ = goesOn;
    return;
  }
  if (head_[0] == '[') {
    // No key that is read has a name of this length.
    haveKey_ = false;
    keptKey_.reset();
    return;
  }
  if (!haveKey_ || (head_[0] != '"' && head_[0] != '@')) return;
  std::size_t at = 1;
  if (head_[0] == '"' && !ParseEscaped(head_, at, '"', name_)) return;
  const std::string_view head = head_;
  if (at < head.size() && head[at] == '=' && FindHexStart(head.substr(at + 1))) {
    skipContinuation_ = goesOn;
  }
}

void RegReader::OnKeyHeader(std::string_view line) {
  std::size_t at = 1;
  haveKey_ = ParseEscaped(line, at, ']', key_);
  keptKey_.reset();
  if (!haveKey_) return;
  FoldNameInPlace(key_);
  const Text& folded = key_;
  // Wine writes no line for a key that has subkeys but no values of its
  // own; the registry still has it.
  for (std::size_t slash = folded.find(u'\\'); slash != Text::npos;
       slash = folded.find(u'\\', slash + 1)) {
    const TextView parent = TextView(folded).substr(0, slash);
    if (wanted_.find(parent) != wanted_.end()) hive_.AddKey(Text(parent));
  }
  if (wanted_.find(folded) != wanted_.end()) {
    hive_.AddKey(folded);
    keptKey_ = folded;
  }
}

void RegReader::OnValueLine(std::string_view line) {
  std::size_t at = 1;
  name_.clear();
  if (line[0] == '"' && !ParseEscaped(line, at, '"', name_)) return;
  if (at >= line.size() || line[at] != '=') return;
  const std::string_view rest = line.substr(at + 1);
  // A hex value decides which lines follow, whether it is kept or not.
  if (const auto hex = FindHexStart(rest)) {
    StartHex(hex->type, rest.substr(hex->at));
    return;
  }
  if (!keptKey_) return;
  std::uint32_t type = kRegSz;
  std::size_t textAt = at + 2;
  if (StartsWith(rest, "str(")) {
    const auto close = rest.find("):\"");
    if (close == std::string_view::npos) return;
    const auto parsed = ParseHexNumber(rest.substr(4, close - 4));
    if (!parsed) return;
    type = *parsed;
    textAt = at + 1 + close + 3;
  } else if (StartsWith(rest, "dword:")) {
    const auto n = ParseHexNumber(rest.substr(6));
    if (!n || !Fits(4)) return;
    Keep(name_,
         RegValue{kRegDword,
                  {static_cast<unsigned char>(*n), static_cast<unsigned char>(*n >> 8),
                   static_cast<unsigned char>(*n >> 16), static_cast<unsigned char>(*n >> 24)}});
    return;
  } else if (!StartsWith(rest, "\"")) {
    return;  // "-" (a deletion) or anything unknown
  }
  if (!ParseEscaped(line, textAt, '"', text_) || !Fits(text_.size() * 2 + 2)) return;
  Keep(name_, RegValue{type, Utf16WithNul(text_)});
}

void RegReader::StartHex(std::uint32_t type, std::string_view data) {
  keepHex_ = Fits(0);
  if (keepHex_) hexName_ = name_;
  hexValue_ = RegValue{type, {}};
  EndHex(ReadHex(data));
}

// Comma-separated byte pairs; a line that ends in a backslash goes on in
// the next line.
RegReader::HexEnd RegReader::ReadHex(std::string_view data) {
  std::size_t i = 0;
  while (i < data.size()) {
    const char c = data[i];
    if (c == ' ' || c == '\t' || c == ',') {
      ++i;
    } else if (c == '\\' && i + 1 == data.size()) {
      return HexEnd::More;
    } else if (i + 1 < data.size() && HexDigit(c) >= 0 && HexDigit(data[i + 1]) >= 0) {
      if (keepHex_ && !Fits(hexValue_.data.size() + 1)) {
        keepHex_ = false;
        hexValue_.data = {};
      }
      if (keepHex_) {
        const int byte = HexDigit(c) * 16 + HexDigit(data[i + 1]);
        hexValue_.data.push_back(static_cast<unsigned char>(byte));
      }
      i += 2;
    } else {
      return HexEnd::Bad;
    }
  }
  return HexEnd::Done;
}

void RegReader::EndHex(HexEnd end) {
  inHex_ = end == HexEnd::More;
  if (inHex_) return;
  if (end == HexEnd::Done && keepHex_) Keep(hexName_, std::move(hexValue_));
  keepHex_ = false;
  hexName_.clear();
  hexValue_ = RegValue{};
}

// Asked before a value is made at all, so that what is not kept costs no
// memory, not even for a moment.
bool RegReader::Fits(std::size_t dataBytes) const {
  return keptKey_.has_value() && dataBytes <= kMaxRegValueBytes &&
         keptBytes_ + dataBytes + name_.size() * 2 + kKeptValueOverhead <= kMaxRegKeptBytes;
}

void RegReader::Keep(const Text& name, RegValue value) {
  if (!keptKey_ || value.data.size() > kMaxRegValueBytes) return;
  const std::size_t cost = value.data.size() + name.size() * 2 + kKeptValueOverhead;
  if (keptBytes_ + cost > kMaxRegKeptBytes) return;
  keptBytes_ += cost;
  hive_.SetValue(*keptKey_, FoldName(name), std::move(value));
}

RegHive ParseRegFile(std::string_view content, const RegKeySet& wanted) {
  RegReader reader(wanted);
  reader.Feed(content);
  return reader.Finish();
}

}  // namespace keldo
