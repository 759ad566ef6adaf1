#include "window/twips.h"

#include <cstdint>

namespace keldo {

namespace {

int ScaleRounded(int value, unsigned numerator, unsigned denominator) {
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

}  // namespace

int TwipsToPixels(int twips, unsigned dpi) { return ScaleRounded(twips, dpi, kTwipsPerInch); }

int FontHeight(int centiPoints, unsigned dpi) {
  // Rounded down, never up: a caption that fits its label at 96 DPI must
  // not grow past it at another scale.
  return -static_cast<int>(static_cast<std::int64_t>(centiPoints) * dpi / 7200);
}

PixelRect ControlPixels(const ControlSpec& entry, unsigned dpi) {
  const int left = TwipsToPixels(entry.left, dpi);
  const int top = TwipsToPixels(entry.top, dpi);
  return {left, top, TwipsToPixels(entry.left + entry.width, dpi) - left,
          TwipsToPixels(entry.top + entry.height, dpi) - top};
}

}  // namespace keldo
