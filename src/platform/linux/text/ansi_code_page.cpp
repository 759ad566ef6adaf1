#include "platform/linux/text/ansi_code_page.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/linux/posix_error.h"
#include "platform/linux/text/best_fit_tables.h"

namespace keldo {

namespace {

constexpr unsigned kWestern = 1252;

// The code pages Windows uses as a system's ANSI code page. Any other
// (an EBCDIC page, an OEM page) would turn every ASCII file into garbage.
bool IsAnsiCodePage(unsigned n) {
  return n == 874 || n == 932 || n == 936 || n == 949 || n == 950 || (n >= 1250 && n <= 1258);
}

std::optional<unsigned> CodePageNumber(TextView recorded) {
  if (recorded.empty() || recorded.size() > 5) return std::nullopt;
  unsigned n = 0;
  for (const char16_t c : recorded) {
    if (c < u'0' || c > u'9') return std::nullopt;
    n = n * 10 + static_cast<unsigned>(c - u'0');
  }
  if (!IsAnsiCodePage(n)) return std::nullopt;
  return n;
}

// The byte Windows gives for a character iconv has no form for, or '?'.
char BestFitByte(unsigned codePage, char16_t c) {
  const auto table = BestFitTable(codePage);
  const auto found =
      std::lower_bound(table.begin(), table.end(), c,
                       [](const BestFit& row, char16_t key) { return row.from < key; });
  return found != table.end() && found->from == c ? static_cast<char>(found->to) : '?';
}

// Back to the initial state, so that one failed conversion cannot leave a
// shift state behind for the next.
void Reset(iconv_t cd) { ::iconv(cd, nullptr, nullptr, nullptr, nullptr); }

}  // namespace

AnsiCodePage::AnsiCodePage(RegFile& systemReg) : systemReg_(systemReg) {
  systemReg_.Want(kCodePageKey);
}

unsigned AnsiCodePage::Number() {
  Select();
  return number_;
}

void AnsiCodePage::Select() {
  const RegValue* value = systemReg_.Value(kCodePageKey, u"ACP");
  Text recorded = value == nullptr ? Text() : RegText(*value);
  if (selected_ && recorded == recorded_) return;
  auto open = [this](unsigned number) {
    const std::string name = "CP" + std::to_string(number);
    UniqueIconv toText(::iconv_open("UTF-16LE", name.c_str()));
    UniqueIconv fromText(::iconv_open(name.c_str(), "UTF-16LE"));
    if (!toText.valid() || !fromText.valid()) return false;
    toText_ = std::move(toText);
    fromText_ = std::move(fromText);
    number_ = number;
    return true;
  };
  const auto number = CodePageNumber(recorded);
  if (!(number && open(*number)) && !open(kWestern)) {
    ThrowErrno("Converting text from code page " + std::to_string(kWestern), errno);
  }
  recorded_ = std::move(recorded);
  selected_ = true;
}

Text AnsiCodePage::ToText(std::string_view bytes) {
  Select();
  Reset(toText_.get());
  Text out;
  out.reserve(bytes.size());
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outAt = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t done = ::iconv(toText_.get(), &in, &inLeft, &outAt, &outLeft);
    const int err = errno;
    for (const char* unit = buffer; unit + 1 < outAt; unit += 2) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(unit[0]) |
                                          (static_cast<unsigned char>(unit[1]) << 8)));
    }
    if (done != static_cast<std::size_t>(-1) || err == E2BIG) continue;
    if (err != EILSEQ && err != EINVAL) ThrowErrno("Converting ANSI text", err);
    // Undefined in the code page, or a lead byte without its trail byte.
    out.push_back(static_cast<unsigned char>(*in));
    ++in;
    --inLeft;
    Reset(toText_.get());
  }
  return out;
}

std::string AnsiCodePage::FromText(TextView text) {
  Select();
  Reset(fromText_.get());
  std::string units;
  units.reserve(text.size() * 2);
  for (const char16_t c : text) {
    units.push_back(static_cast<char>(c & 0xFF));
    units.push_back(static_cast<char>(c >> 8));
  }
  std::string out;
  out.reserve(text.size());
  char* in = units.data();
  std::size_t inLeft = units.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outAt = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t done = ::iconv(fromText_.get(), &in, &inLeft, &outAt, &outLeft);
    const int err = errno;
    out.append(buffer, static_cast<std::size_t>(outAt - buffer));
    if (done != static_cast<std::size_t>(-1) || err == E2BIG) continue;
    if (err != EILSEQ && err != EINVAL) ThrowErrno("Converting text to ANSI", err);
    // One UTF-16 unit without a form, as Windows' tables convert unit by
    // unit: each half of a surrogate pair is one '?'.
    const std::size_t at = static_cast<std::size_t>(in - units.data()) / 2;
    out.push_back(BestFitByte(number_, text[at]));
    const std::size_t skip = std::min<std::size_t>(2, inLeft);
    in += skip;
    inLeft -= skip;
    Reset(fromText_.get());
  }
  return out;
}

}  // namespace keldo
