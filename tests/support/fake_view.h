#pragma once
// The main window as a record: every visible effect becomes one line of an
// ordered log, so a test compares what the user saw, in the order seen.
#include <array>
#include <string>
#include <vector>

#include "base/main_view.h"

namespace keldo {

class FakeView : public MainView {
 public:
  FakeView();
  void Show() override;
  void SetCaption(Control control, const Text& caption) override;
  void Repaint() override;
  Text Caption(Control control) const override;
  void ShowMessage(const Text& text, MessageKind kind) override;
  void SetMousePointer(std::int16_t code) override;
  void SetScreenMousePointer(std::int16_t code) override;
  void EndProgram() override;
  void ShowProgress(const Text& step) override;

  // "show", "lblSerial: Serial Number:  K1", "box: text", "diag: text",
  // "pointer: 11", "screen: 0", "end". Repaints are not logged; a caption
  // that the next event finds unpainted counts in unpaintedCaptions.
  std::vector<std::string> log;
  // The steps the view was told of, which the window never shows.
  std::vector<std::string> progress;
  // Only the message boxes meant for the user, without diagnostics.
  std::vector<std::string> Boxes() const;
  int unpaintedCaptions = 0;
  int ended = 0;
  std::int16_t pointer = kPointerDefault;
  std::int16_t screenPointer = kPointerDefault;

 private:
  void Add(std::string line);
  std::array<Text, kControlCount> captions_;
  bool pendingPaint_ = false;
};

}  // namespace keldo
