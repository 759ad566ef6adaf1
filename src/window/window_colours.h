#pragma once
// The window's colours: the light-green background and the labels in the
// system's button colours, or, while the user has high contrast on, the
// system's window colours throughout, so that nothing of ours stands
// between the user's chosen scheme and the text.
#include <windows.h>

#include <cstdint>

namespace keldo {

enum class Contrast : std::uint8_t { Standard, High };

// The system colours the choice depends on (GetSysColor).
struct SystemColours {
  COLORREF buttonFace, buttonText, window, windowText;
};

struct WindowColours {
  COLORREF background;  // the window's client area
  COLORREF labelText, labelBack;
  bool operator==(const WindowColours&) const = default;
};

WindowColours ChooseColours(Contrast contrast, const SystemColours& system);

SystemColours ReadSystemColours();

// High contrast by the flags of SPI_GETHIGHCONTRAST (only HCF_HIGHCONTRASTON
// counts: HCF_AVAILABLE and the hot-key flags are set while it is off) or by
// the test seam.
Contrast ContrastFrom(DWORD highContrastFlags, bool testSeamOn);

// SPI_GETHIGHCONTRAST, or the test seam: a DWORD "HighContrast" other than 0
// under HKCU\Software\Keldo Support\Check Keldo Support\Test, which exists on
// no user's PC and lets the Wine suite, whose Wine refuses to turn high
// contrast on, see the high-contrast window.
Contrast CurrentContrast();

}  // namespace keldo
