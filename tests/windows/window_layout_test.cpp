// Twips to pixels at the DPIs people use; the window's colours in either
// contrast.
#include <gtest/gtest.h>

#include "window/twips.h"
#include "window/window_colours.h"

namespace keldo {

namespace {

struct Scale {
  int twips;
  unsigned dpi;
  int pixels;
};

TEST(Twips, BecomePixelsAtTheWindowsDpi) {
  const Scale cases[] = {
      {9315, 96, 621},  {6435, 96, 429},   {3366, 96, 224}, {4122, 96, 275}, {9315, 120, 776},
      {9315, 144, 932}, {9315, 192, 1242}, {0, 144, 0},     {-15, 96, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(Twips, FontHeightsScaleButNeverOutgrowTheirControls) {
  const Scale cases[] = {
      {975, 96, -13},  {900, 96, -12},   {1125, 96, -15},
      {975, 144, -19}, {1125, 120, -18}, {900, 192, -24},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FontHeight(c.twips, c.dpi), c.pixels) << c.twips << " centipoints at " << c.dpi;
  }
}

TEST(Twips, ControlRectanglesRoundEachEdge) {
  EXPECT_EQ(ControlPixels(SpecOf(Control::cmdStart), 96), (PixelRect{500, 350, 79, 31}));
  EXPECT_EQ(ControlPixels(SpecOf(Control::cmdStart), 144), (PixelRect{750, 525, 119, 47}));
  // The serial-number and auto-update labels are as wide as the result labels
  // below them, so that their run-time captions fit; the empty labels keep
  // their width.
  EXPECT_EQ(ControlPixels(SpecOf(Control::lblAutoUpdate), 96), (PixelRect{46, 224, 315, 21}));
  EXPECT_EQ(ControlPixels(SpecOf(Control::lblSerial), 96), (PixelRect{46, 48, 315, 21}));
  EXPECT_EQ(ControlPixels(SpecOf(Control::lblAutoUpdate), 192), (PixelRect{92, 449, 630, 42}));
  EXPECT_EQ(ControlPixels(SpecOf(Control::Label9), 96), (PixelRect{46, 275, 149, 21}));
}

TEST(Twips, EveryControlStaysInsideTheClientArea) {
  for (const unsigned dpi : {96u, 120u, 144u, 168u, 192u, 288u}) {
    for (const auto& entry : kControls) {
      const PixelRect rect = ControlPixels(entry, dpi);
      EXPECT_GE(rect.left, 0) << entry.name << " at " << dpi;
      EXPECT_LE(rect.left + rect.width, TwipsToPixels(kClientWidthTwips, dpi)) << entry.name;
      EXPECT_LE(rect.top + rect.height, TwipsToPixels(kClientHeightTwips, dpi)) << entry.name;
    }
  }
}

TEST(WindowColours, HighContrastTakesTheSystemsWindowColoursThroughout) {
  const SystemColours black{RGB(0, 0, 128), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 0)};
  const WindowColours standard{RGB(224, 255, 224), RGB(255, 255, 255), RGB(0, 0, 128)};
  const WindowColours high{RGB(0, 0, 0), RGB(255, 255, 0), RGB(0, 0, 0)};
  // Available and its hot key are flags of a high contrast that is off.
  const struct {
    DWORD flags;
    bool seam;
    WindowColours expected;
  } cases[] = {{0, false, standard},
               {HCF_AVAILABLE | HCF_HOTKEYACTIVE, false, standard},
               {HCF_HIGHCONTRASTON | HCF_AVAILABLE, false, high},
               {0, true, high}};
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseColours(ContrastFrom(c.flags, c.seam), black), c.expected) << c.flags;
  }
}

}  // namespace

}  // namespace keldo
