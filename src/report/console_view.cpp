#include "report/console_view.h"

#include "base/findings_text.h"

namespace keldo {

ConsoleView::ConsoleView(std::ostream& err, bool collect, StatusLine* status)
    : err_(err), collect_(collect), status_(status) {
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
  const auto write = [&text](std::ostream& err) {
    err << ToUtf8(kAppTitle) << ": " << OneLine(text) << '\n';
    err.flush();
  };
  if (status_) {
    status_->Around(write);
  } else {
    write(err_);
  }
}

void ConsoleView::ShowProgress(const Text& step) {
  if (status_) status_->Show(step);
}

std::string OneLine(const Text& text) { return ToUtf8(EscapedLine(text)); }

}  // namespace keldo
