#pragma once
// The main window as a console program shows it: captions are kept for the
// report at the end; message boxes go to standard error as they happen, or
// are collected for the JSON report.
#include <array>
#include <ostream>
#include <vector>

#include "base/main_view.h"
#include "report/status_line.h"

namespace keldo {

class ConsoleView : public MainView {
 public:
  // `collect`: keep messages for the JSON report instead of writing them.
  // `status`: the status line that shows the progress, or none.
  ConsoleView(std::ostream& err, bool collect, StatusLine* status = nullptr);

  void Show() override {}
  void SetCaption(Control control, const Text& caption) override;
  void Repaint() override {}
  Text Caption(Control control) const override;
  void ShowMessage(const Text& text, MessageKind kind) override;
  void SetMousePointer(std::int16_t code) override { pointer_ = code; }
  void SetScreenMousePointer(std::int16_t code) override { screenPointer_ = code; }
  void EndProgram() override { ended_ = true; }
  void ShowProgress(const Text& step) override;

  // Also used for start-up failures, which have no check run to report them.
  void WriteMessage(const Text& text);

  const std::vector<Text>& Messages() const { return messages_; }
  const std::vector<Text>& DiagnosticLines() const { return diagnostics_; }
  bool Ended() const { return ended_; }

 private:
  std::ostream& err_;
  bool collect_;
  StatusLine* status_;
  std::array<Text, kControlCount> captions_;
  std::vector<Text> messages_;
  std::vector<Text> diagnostics_;
  std::int16_t pointer_ = kPointerDefault;
  std::int16_t screenPointer_ = kPointerDefault;
  bool ended_ = false;
};

// A message or diagnostic line on one terminal line, escaped as
// EscapedLine, in UTF-8.
std::string OneLine(const Text& text);

}  // namespace keldo
