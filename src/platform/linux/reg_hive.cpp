#include "platform/linux/reg_hive.h"

#include <optional>

#include "platform/linux/name_fold.h"

void RegHive::AddKey(const Text& key) { keys_.try_emplace(FoldName(key)); }

void RegHive::SetValue(const Text& key, const Text& name, RegValue value) {
  keys_[FoldName(key)][FoldName(name)] = std::move(value);
}

const RegValues* RegHive::Key(TextView key) const {
  const Text folded = FoldName(key);
  const auto found = keys_.find(folded);
  if (found != keys_.end()) return &found->second;
  // Wine writes no line for a key that has subkeys but no values of its
  // own; the registry still has it.
  static const RegValues kNoValues;
  const Text parent = folded + u"\\";
  const auto child = keys_.lower_bound(parent);
  const bool hasChild = child != keys_.end() && child->first.compare(0, parent.size(), parent) == 0;
  return hasChild ? &kNoValues : nullptr;
}

const RegValue* RegHive::Value(TextView key, TextView name) const {
  const RegValues* values = Key(key);
  if (values == nullptr) return nullptr;
  const auto found = values->find(FoldName(name));
  return found == values->end() ? nullptr : &found->second;
}

Text RegText(const RegValue& value) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return Text();
  Text text;
  for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads an escaped string up to an unescaped `end`, Wine's escapes
// included. `at` starts after the opening delimiter and ends after the
// closing one. Raw bytes outside ASCII are taken as UTF-8.
std::optional<Text> ParseEscaped(std::string_view line, std::size_t& at, char end) {
  Text out;
  std::size_t rawStart = at;
  auto flushRaw = [&](std::size_t upTo) {
    out += FromUtf8(line.substr(rawStart, upTo - rawStart));
  };
  while (at < line.size()) {
    const char c = line[at];
    if (c == end) {
      flushRaw(at);
      ++at;
      return out;
    }
    if (c != '\\') {
      ++at;
      continue;
    }
    flushRaw(at);
    if (++at >= line.size()) return std::nullopt;
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
          for (int digits = 1; digits < 3 && at < line.size() && line[at] >= '0' &&
                               line[at] <= '7';
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
  return std::nullopt;  // no closing delimiter
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

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

class RegParser {
 public:
  explicit RegParser(std::string_view content) : content_(content) {}

  RegHive Parse() {
    std::string_view line;
    if (!NextLine(line) || !StartsWith(line, "WINE REGISTRY Version 2")) return RegHive();
    while (NextLine(line)) {
      if (line.empty() || line[0] == ';' || line[0] == '#') continue;
      if (line[0] == '[') {
        ParseKeyHeader(line);
      } else if (haveKey_ && (line[0] == '"' || line[0] == '@')) {
        ParseValueLine(line);
      }
    }
    return std::move(hive_);
  }

 private:
  bool NextLine(std::string_view& line) {
    if (pos_ >= content_.size()) return false;
    const auto end = content_.find('\n', pos_);
    const auto stop = end == std::string_view::npos ? content_.size() : end;
    line = content_.substr(pos_, stop - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = stop + 1;
    return true;
  }

  void ParseKeyHeader(std::string_view line) {
    std::size_t at = 1;
    auto key = ParseEscaped(line, at, ']');
    haveKey_ = key.has_value();
    if (!haveKey_) return;
    key_ = std::move(*key);
    hive_.AddKey(key_);
  }

  void ParseValueLine(std::string_view line) {
    Text name;
    std::size_t at = 1;
    if (line[0] == '"') {
      auto parsed = ParseEscaped(line, at, '"');
      if (!parsed) return;
      name = std::move(*parsed);
    }
    if (at >= line.size() || line[at] != '=') return;
    auto value = ParseData(line, at + 1);
    if (value) hive_.SetValue(key_, name, std::move(*value));
  }

  std::optional<RegValue> ParseData(std::string_view line, std::size_t at) {
    const std::string_view rest = line.substr(at);
    if (StartsWith(rest, "\"")) return ParseString(line, at + 1, kRegSz);
    if (StartsWith(rest, "str(")) {
      const auto close = rest.find("):\"");
      if (close == std::string_view::npos) return std::nullopt;
      const auto type = ParseHexNumber(rest.substr(4, close - 4));
      if (!type) return std::nullopt;
      return ParseString(line, at + close + 3, *type);
    }
    if (StartsWith(rest, "dword:")) {
      const auto n = ParseHexNumber(rest.substr(6));
      if (!n) return std::nullopt;
      return RegValue{kRegDword,
                      {static_cast<unsigned char>(*n), static_cast<unsigned char>(*n >> 8),
                       static_cast<unsigned char>(*n >> 16), static_cast<unsigned char>(*n >> 24)}};
    }
    if (StartsWith(rest, "hex:")) return ParseHex(rest.substr(4), kRegBinary);
    if (StartsWith(rest, "hex(")) {
      const auto close = rest.find("):");
      if (close == std::string_view::npos) return std::nullopt;
      const auto type = ParseHexNumber(rest.substr(4, close - 4));
      if (!type) return std::nullopt;
      return ParseHex(rest.substr(close + 2), *type);
    }
    return std::nullopt;  // "-" (a deletion) or anything unknown
  }

  static std::optional<RegValue> ParseString(std::string_view line, std::size_t at,
                                             std::uint32_t type) {
    auto text = ParseEscaped(line, at, '"');
    if (!text) return std::nullopt;
    return RegValue{type, Utf16WithNul(*text)};
  }

  // Comma-separated byte pairs; a line that ends in a backslash goes on in
  // the next line.
  std::optional<RegValue> ParseHex(std::string_view data, std::uint32_t type) {
    RegValue value{type, {}};
    for (;;) {
      std::size_t i = 0;
      while (i < data.size()) {
        const char c = data[i];
        if (c == ' ' || c == '\t' || c == ',') {
          ++i;
        } else if (c == '\\' && i + 1 == data.size()) {
          break;
        } else if (i + 1 < data.size() && HexDigit(c) >= 0 && HexDigit(data[i + 1]) >= 0) {
          value.data.push_back(static_cast<unsigned char>(HexDigit(c) * 16 + HexDigit(data[i + 1])));
          i += 2;
        } else {
          return std::nullopt;
        }
      }
      if (data.empty() || data.back() != '\\') return value;
      if (!NextLine(data)) return std::nullopt;
    }
  }

  std::string_view content_;
  std::size_t pos_ = 0;
  RegHive hive_;
  Text key_;
  bool haveKey_ = false;
};

}  // namespace

RegHive ParseRegFile(std::string_view content) { return RegParser(content).Parse(); }
