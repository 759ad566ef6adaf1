#pragma once
// The window is laid out in twips (1440 to the inch) and drawn in pixels at
// the window's own DPI.
#include "base/controls.h"

namespace keldo {

inline constexpr int kTwipsPerInch = 1440;

// Rounded to the nearest pixel, halves away from zero.
int TwipsToPixels(int twips, unsigned dpi);

// The LOGFONT height of a font of `centiPoints` hundredths of a point: a
// negative number, so that it is the character height, not the cell height.
// Rounded towards zero, so that text never outgrows its control.
int FontHeight(int centiPoints, unsigned dpi);

struct PixelRect {
  int left, top, width, height;
  bool operator==(const PixelRect&) const = default;
};

// Each edge is rounded on its own, so that controls that touch in twips
// touch in pixels too.
PixelRect ControlPixels(const ControlSpec& entry, unsigned dpi);

}  // namespace keldo
