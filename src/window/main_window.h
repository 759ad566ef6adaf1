#pragma once
// The main window as a native Win32 window: fixed dialog frame, the fifteen
// controls of the control table placed in twips at the window's own DPI.
#include <windows.h>

#include <array>
#include <map>
#include <optional>

#include "base/main_view.h"
#include "platform/windows/unique_handle.h"
#include "window/live_regions.h"
#include "window/window_colours.h"

namespace keldo {

class MainCheck;

// A control's id, its GWLP_ID (GetDlgItem): clear of IDOK and IDCANCEL,
// which Enter and Esc send, for the window has no default and no cancel
// button.
inline constexpr int kFirstControlId = 100;
inline int ControlId(Control control) { return kFirstControlId + static_cast<int>(control); }

class MainWindow final : public MainView {
 public:
  // Creates the window and its controls, still hidden. Throws RunTimeError.
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Clicks and the close box go to `check` from now on.
  void AttachCheck(MainCheck* check) { check_ = check; }
  // Runs the window's events until the program ends; the process exit code.
  int RunMessageLoop();

  void Show() override;
  void SetCaption(Control control, const Text& caption) override;
  void Repaint() override;
  Text Caption(Control control) const override;
  void ShowMessage(const Text& text, MessageKind kind) override;
  void SetMousePointer(std::int16_t code) override;
  void SetScreenMousePointer(std::int16_t code) override;
  void EndProgram() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // A message's own handling; none where the default window procedure's is
  // the one wanted.
  std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> OnSysCommand(WPARAM wParam);
  void OnNcDestroy();
  LRESULT OnControlColour(HDC dc, HWND control) const;
  std::optional<LRESULT> OnSetCursor(LPARAM lParam) const;
  std::optional<LRESULT> OnActivate(WPARAM wParam);
  LRESULT OnGetDefaultId() const;
  void OnDpiChanged(WPARAM wParam, LPARAM lParam);
  void CreateControls();
  // The title above the always-empty progress label that overlaps it, so
  // that a point on the title, a screen reader's or the mouse's, finds the
  // title; the tab order, which holds only the buttons, stays.
  void LayerTitle() const;
  // The colours for the contrast the user has now (window_colours.h), the
  // window and every control painted in them.
  void ApplyColours();
  // Fonts and positions for `dpi`; the window keeps its top-left corner
  // when `topLeft` is given and is centred on its monitor otherwise.
  void Layout(UINT dpi, const POINT* topLeft);
  // Start, Exit and the close box are refused while this holds.
  bool RunInProgress() const;
  void OnCommand(int id);
  // Start pressed: the run, and the announcement of its end.
  void RunCheck();
  void OnClose();
  // Ctrl+C and the window menu's "Copy findings"; nothing while a run is on.
  void OnCopyFindings();
  HWND ControlWindow(Control control) const;
  std::int16_t EffectivePointer() const;
  void ApplyPointerNow() const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  std::array<Text, kControlCount> captions_{};
  std::map<int, GdiObject> fonts_;  // by size in 1/100 point
  WindowColours colours_{};
  GdiObject background_;
  GdiObject labelBrush_;
  LiveRegions liveRegions_;
  HWND lastFocus_ = nullptr;
  std::int16_t pointer_ = kPointerDefault;
  std::int16_t screenPointer_ = kPointerDefault;
  MainCheck* check_ = nullptr;
};

}  // namespace keldo
