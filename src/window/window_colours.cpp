#include "window/window_colours.h"

#include "base/controls.h"

namespace keldo {

namespace {

constexpr const wchar_t* kTestKey = L"Software\\Keldo Support\\Check Keldo Support\\Test";

bool TestSeamSaysHigh() {
  DWORD value = 0, size = sizeof value;
  return RegGetValueW(HKEY_CURRENT_USER, kTestKey, L"HighContrast", RRF_RT_REG_DWORD, nullptr,
                      &value, &size) == ERROR_SUCCESS &&
         value != 0;
}

}  // namespace

WindowColours ChooseColours(Contrast contrast, const SystemColours& system) {
  if (contrast == Contrast::High) return {system.window, system.windowText, system.window};
  return {RGB(kBackRed, kBackGreen, kBackBlue), system.buttonText, system.buttonFace};
}

SystemColours ReadSystemColours() {
  return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_WINDOW),
          GetSysColor(COLOR_WINDOWTEXT)};
}

Contrast ContrastFrom(DWORD highContrastFlags, bool testSeamOn) {
  return (highContrastFlags & HCF_HIGHCONTRASTON) || testSeamOn ? Contrast::High
                                                                : Contrast::Standard;
}

Contrast CurrentContrast() {
  HIGHCONTRASTW state{};
  state.cbSize = sizeof state;
  // Should the question fail, the flags stay 0: the standard colours.
  SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof state, &state, 0);
  return ContrastFrom(state.dwFlags, TestSeamSaysHigh());
}

}  // namespace keldo
