#pragma once
// The main window as the check run sees it. The Windows program implements
// it with a real window; the console report and the tests with a record.
#include <cstdint>

#include "base/controls.h"
#include "base/text.h"

namespace keldo {

// Mouse pointer codes of the window system.
inline constexpr std::int16_t kPointerDefault = 0;
inline constexpr std::int16_t kPointerHourglass = 11;

enum class MessageKind : std::uint8_t {
  Message,     // a message box the user is meant to see
  Diagnostic,  // a DebugMsg line, shown only while DebugOn is -1
};

class MainView {
 public:
  virtual ~MainView() = default;

  // Makes the window visible with its design captions, centred.
  virtual void Show() = 0;
  // Replaces a control's whole caption.
  virtual void SetCaption(Control control, const Text& caption) = 0;
  // Paints what has changed now. The check run keeps the GUI thread busy,
  // so without this the user would see the findings only at the end.
  virtual void Repaint() = 0;
  virtual Text Caption(Control control) const = 0;
  // Modal message box: OK only, no icon, the application title. Returns
  // when the user has closed it.
  virtual void ShowMessage(const Text& text, MessageKind kind) = 0;
  // The window's own pointer, and the one for the whole screen.
  virtual void SetMousePointer(std::int16_t code) = 0;
  virtual void SetScreenMousePointer(std::int16_t code) = 0;
  // The step of the check run now in progress. The window shows no
  // progress and ignores it; a front end that can show it without changing
  // the window (the console report at a terminal) does.
  virtual void ShowProgress(const Text& step) { (void)step; }
  // Ends the program: the window disappears and the process exits once the
  // caller has unwound. Must not run any further step of the check run.
  virtual void EndProgram() = 0;
};

}  // namespace keldo
