#include "support/fake_view.h"

namespace keldo {

FakeView::FakeView() {
  for (const auto& entry : kControls)
    captions_[static_cast<std::size_t>(entry.id)] = entry.designCaption;
}

void FakeView::Add(std::string line) {
  if (pendingPaint_) ++unpaintedCaptions;
  pendingPaint_ = false;
  log.push_back(std::move(line));
}

void FakeView::Show() { Add("show"); }

void FakeView::SetCaption(Control control, const Text& caption) {
  captions_[static_cast<std::size_t>(control)] = caption;
  Add(std::string(SpecOf(control).name) + ": " + ToUtf8(caption));
  pendingPaint_ = true;
}

void FakeView::Repaint() { pendingPaint_ = false; }

void FakeView::ShowProgress(const Text& step) { progress.push_back(ToUtf8(step)); }

Text FakeView::Caption(Control control) const {
  return captions_[static_cast<std::size_t>(control)];
}

void FakeView::ShowMessage(const Text& text, MessageKind kind) {
  Add((kind == MessageKind::Message ? "box: " : "diag: ") + ToUtf8(text));
}

void FakeView::SetMousePointer(std::int16_t code) {
  pointer = code;
  Add("pointer: " + std::to_string(code));
}

void FakeView::SetScreenMousePointer(std::int16_t code) {
  screenPointer = code;
  Add("screen: " + std::to_string(code));
}

void FakeView::EndProgram() {
  ++ended;
  Add("end");
}

std::vector<std::string> FakeView::Boxes() const {
  std::vector<std::string> boxes;
  for (const auto& line : log) {
    if (line.rfind("box: ", 0) == 0) boxes.push_back(line.substr(5));
  }
  return boxes;
}

}  // namespace keldo
