#include "report/console_view.h"

namespace keldo {

ConsoleView::ConsoleView(std::ostream& err, bool collect) : err_(err), collect_(collect) {
  for (const auto& entry : kControls)
    captions_[static_cast<std::size_t>(entry.id)] = entry.designCaption;
}

void ConsoleView::SetCaption(Control control, const Text& caption) {
  captions_[static_cast<std::size_t>(control)] = caption;
}

Text ConsoleView::Caption(Control control) const {
  return captions_[static_cast<std::size_t>(control)];
}

void ConsoleView::ShowMessage(const Text& text, MessageKind kind) {
  if (!collect_) {
    WriteMessage(text);
  } else if (kind == MessageKind::Diagnostic) {
    diagnostics_.push_back(text);
  } else {
    messages_.push_back(text);
  }
}

void ConsoleView::WriteMessage(const Text& text) {
  if (collect_) {
    messages_.push_back(text);
    return;
  }
  // Diagnostic lines carry text from outside (proxy names, server
  // answers): escaped like the captions, so none can steer the terminal.
  err_ << ToUtf8(kAppTitle) << ": " << OneLine(text) << '\n';
  err_.flush();
}

std::string OneLine(const Text& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text escaped;
  for (const char16_t c : text) {
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
    } else {
      escaped.push_back(c);
    }
  }
  return ToUtf8(escaped);
}

}  // namespace keldo
