#include "base/findings_text.h"

namespace keldo {

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

Text EscapedLine(TextView text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\\') {
      escaped += u"\\\\";
    } else if (c == u'\r') {
      escaped += u"\\r";
    } else if (c == u'\n') {
      escaped += u"\\n";
    } else if (c == u'\t') {
      escaped += u"\\t";
    } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
      escaped +=
          {u'\\', u'x', static_cast<char16_t>(kHex[c >> 4]), static_cast<char16_t>(kHex[c & 0xF])};
    } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      escaped += text.substr(i, 2);
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      escaped.push_back(u'\uFFFD');
    } else {
      escaped.push_back(c);
    }
  }
  return escaped;
}

Text CaptionText(TextView caption, TextView lineEnd) {
  // A label draws a line end as a line break and nothing after the last one.
  while (!caption.empty() && IsLineBreak(caption.back())) caption.remove_suffix(1);
  Text out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = caption.find_first_of(u"\r\n", start);
    out += EscapedLine(caption.substr(start, end == TextView::npos ? TextView::npos : end - start));
    out += lineEnd;
    if (end == TextView::npos) return out;
    start = end + (caption.substr(end, 2) == u"\r\n" ? 2 : 1);
    out += u"  ";
  }
}

Text FindingsText(const MainView& view, TextView lineEnd) {
  Text out;
  for (const Control control : kResultLabelsTopDown)
    out += CaptionText(view.Caption(control), lineEnd);
  return out;
}

}  // namespace keldo
