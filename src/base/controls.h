#pragma once
// The main window's fifteen controls, in tab order, with their design
// geometry in twips. Both the Windows window and the console report are
// built from this one table, so they cannot drift apart.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/text.h"

namespace keldo {

enum class Control : std::uint8_t {
  lblProgress,
  lblTitle,
  lblSerial,
  lblServerVersion,
  lblWebVersion,
  lblPCversion,
  lblSingleOrNetwork,
  lblServerShowsExpires,
  lblWebsiteExpires,
  lblAutoUpdate,
  lblServer,
  Label9,
  Label10,
  cmdStart,
  cmdExit,
};

inline constexpr std::size_t kControlCount = 15;

enum class ControlKind : std::uint8_t { Label, PushButton };

struct ControlSpec {
  Control id;
  std::string_view name;  // e.g. "lblSerial"
  ControlKind kind;
  const char16_t* designCaption;
  int left, top, width, height;  // twips from the client area's top-left
  int centiPoints;               // font size in 1/100 point: 975 is 9.75
};

// Indexed by tab index, which is also the enum's value.
extern const std::array<ControlSpec, kControlCount> kControls;

const ControlSpec& SpecOf(Control id);
std::optional<Control> ControlNamed(std::string_view name);

// Window frame facts.
inline constexpr const char16_t* kAppTitle = u"Check Keldo Support";
inline constexpr int kClientWidthTwips = 9315;
inline constexpr int kClientHeightTwips = 6435;
inline constexpr std::uint8_t kBackRed = 224, kBackGreen = 255, kBackBlue = 224;

// The result labels from top to bottom, as a person reads the window.
inline constexpr std::array<Control, 9> kResultLabelsTopDown = {
    Control::lblSerial,         Control::lblServerVersion,   Control::lblWebVersion,
    Control::lblPCversion,      Control::lblSingleOrNetwork, Control::lblServerShowsExpires,
    Control::lblWebsiteExpires, Control::lblAutoUpdate,      Control::lblServer};

}  // namespace keldo
