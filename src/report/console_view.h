#pragma once
// The main window as a console program shows it: captions are kept for the
// report at the end; message boxes go to standard error as they happen, or
// are collected for the JSON report.
#include <array>
#include <ostream>
#include <vector>

#include "base/main_view.h"

namespace keldo {

class ConsoleView : public MainView {
 public:
  // `collect`: keep messages for the JSON report instead of writing them.
  ConsoleView(std::ostream& err, bool collect);

  void Show() override {}
  void SetCaption(Control control, const Text& caption) override;
  void Repaint() override {}
  Text Caption(Control control) const override;
  void ShowMessage(const Text& text, MessageKind kind) override;
  void SetMousePointer(std::int16_t code) override { pointer_ = code; }
  void SetScreenMousePointer(std::int16_t code) override { screenPointer_ = code; }
  void EndProgram() override { ended_ = true; }

  // Also used for start-up failures, which have no check run to report them.
  void WriteMessage(const Text& text);

  const std::vector<Text>& Messages() const { return messages_; }
  const std::vector<Text>& DiagnosticLines() const { return diagnostics_; }
  bool Ended() const { return ended_; }

 private:
  std::ostream& err_;
  bool collect_;
  std::array<Text, kControlCount> captions_;
  std::vector<Text> messages_;
  std::vector<Text> diagnostics_;
  std::int16_t pointer_ = kPointerDefault;
  std::int16_t screenPointer_ = kPointerDefault;
  bool ended_ = false;
};

// A caption, message or diagnostic line on one terminal line, with nothing
// a terminal would act on: carriage return, line feed and tab as \r, \n and
// \t, other C0 and C1 controls and DEL as \xNN, and a backslash doubled so
// that an escape can always be told from the text; everything else as UTF-8.
std::string OneLine(const Text& text);

}  // namespace keldo
