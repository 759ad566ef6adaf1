#include "base/text.h"

namespace keldo {

std::int32_t InStr(TextView text, TextView sought) {
  const auto at = text.find(sought);
  return at == TextView::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

Text TrimBlanks(TextView text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == TextView::npos) return Text();
  const auto last = text.find_last_not_of(u' ');
  return Text(text.substr(first, last - first + 1));
}

Text DecimalText(std::int64_t value) {
  const std::string digits = std::to_string(value);
  return Text(digits.begin(), digits.end());
}

namespace {

void AppendUtf16(Text& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

}  // namespace

Text FromUtf8(std::string_view utf8) {
  // Every ill-formed or cut-short sequence becomes one U+FFFD and decoding
  // resumes at the byte that broke it, so no byte after a bad one is lost
  // (a Latin-1 letter before a line end keeps the line end).
  Text out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b0 = static_cast<unsigned char>(utf8[i++]);
    if (b0 < 0x80) {
      out.push_back(b0);
      continue;
    }
    int needed = 0;
    char32_t cp = 0;
    // The second byte's range rules out overlong forms, surrogates and
    // values past U+10FFFF before any of them is taken.
    unsigned char lower = 0x80, upper = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      needed = 1;
      cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      needed = 2;
      cp = b0 & 0x0F;
      if (b0 == 0xE0) lower = 0xA0;
      if (b0 == 0xED) upper = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      needed = 3;
      cp = b0 & 0x07;
      if (b0 == 0xF0) lower = 0x90;
      if (b0 == 0xF4) upper = 0x8F;
    } else {
      out.push_back(u'\uFFFD');
      continue;
    }
    bool complete = true;
    for (int k = 0; k < needed; ++k) {
      const auto b = i < utf8.size() ? static_cast<unsigned char>(utf8[i]) : 0u;
      if (b < lower || b > upper) {  // the end, or a byte that starts afresh
        complete = false;
        break;
      }
      cp = (cp << 6) | (b & 0x3F);
      lower = 0x80;
      upper = 0xBF;
      ++i;
    }
    if (complete) {
      AppendUtf16(out, cp);
    } else {
      out.push_back(u'\uFFFD');
    }
  }
  return out;
}

std::string ToUtf8(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

Text FromWindows1252(std::string_view bytes) {
  // 0x80-0x9F differ from Latin-1; the five unassigned codes map to the C1
  // controls of the same value, as Windows' own conversion does.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  Text out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out.push_back(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b));
  }
  return out;
}

}  // namespace keldo
