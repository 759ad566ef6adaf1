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

// What a control shows: its design caption for good, or one of the check's
// findings, which the run writes into it and the clipboard and the report
// pass on. A new finding is a row marked Finding here, with its step.
enum class ControlRole : std::uint8_t { Fixed, Finding };

struct ControlSpec {
  Control id;
  std::string_view name;  // e.g. "lblSerial"
  ControlKind kind;
  ControlRole role;
  const char16_t* designCaption;
  int left, top, width, height;  // twips from the client area's top-left
  int centiPoints;               // font size in 1/100 point: 975 is 9.75
};

// Indexed by tab index, which is also the enum's value.
inline constexpr std::array<ControlSpec, kControlCount> kControls = {{
    {Control::lblProgress, "lblProgress", ControlKind::Label, ControlRole::Fixed, u"", 240, 120,
     4815, 675, 975},
    {Control::lblTitle, "lblTitle", ControlKind::Label, ControlRole::Fixed,
     u"Keldo utility program to check your Keldo support and program versions", 1320, 150, 6225,
     315, 975},
    // Serial number and auto update as wide as the result labels below them:
    // at 2235 twips "Auto Update:  User turned it OFF" and a long serial
    // number wrapped, and the label's height cut their second line off.
    {Control::lblSerial, "lblSerial", ControlKind::Label, ControlRole::Finding, u"Serial Number:",
     690, 720, 4725, 315, 900},
    // 4755, 30 twips more than the result labels below it, is the width this
    // label was designed with, kept as every measure here is kept (a mend to
    // the layout says so where it is made): not a slip to align.
    {Control::lblServerVersion, "lblServerVersion", ControlKind::Label, ControlRole::Finding,
     u"Version in Latest Progs:", 690, 1095, 4755, 315, 900},
    {Control::lblWebVersion, "lblWebVersion", ControlKind::Label, ControlRole::Finding,
     u"Version on website: ", 690, 1470, 4725, 315, 900},
    {Control::lblPCversion, "lblPCversion", ControlKind::Label, ControlRole::Finding,
     u"Version on this PC: ", 690, 1860, 4725, 315, 900},
    {Control::lblSingleOrNetwork, "lblSingleOrNetwork", ControlKind::Label, ControlRole::Finding,
     u"Single or MultiUser: ", 690, 2220, 4725, 315, 900},
    {Control::lblServerShowsExpires, "lblServerShowsExpires", ControlKind::Label,
     ControlRole::Finding, u"PC shows support expires: ", 690, 2610, 4725, 315, 900},
    {Control::lblWebsiteExpires, "lblWebsiteExpires", ControlKind::Label, ControlRole::Finding,
     u"Website shows support expires:", 690, 2985, 4725, 315, 900},
    {Control::lblAutoUpdate, "lblAutoUpdate", ControlKind::Label, ControlRole::Finding,
     u"Auto Update:  ", 690, 3366, 4725, 315, 900},
    {Control::lblServer, "lblServer", ControlKind::Label, ControlRole::Finding,
     u"Keldo Database on Drive:", 690, 3750, 3855, 315, 900},
    {Control::Label9, "Label9", ControlKind::Label, ControlRole::Fixed, u"", 690, 4122, 2235, 315,
     900},
    {Control::Label10, "Label10", ControlKind::Label, ControlRole::Fixed, u"", 690, 4500, 2235, 315,
     900},
    {Control::cmdStart, "cmdStart", ControlKind::PushButton, ControlRole::Fixed, u"Start", 7500,
     5250, 1185, 465, 975},
    {Control::cmdExit, "cmdExit", ControlKind::PushButton, ControlRole::Fixed, u"Exit", 7500, 5760,
     1185, 465, 1125},
}};

const ControlSpec& SpecOf(Control id);
std::optional<Control> ControlNamed(std::string_view name);

// Window frame facts.
inline constexpr const char16_t* kAppTitle = u"Check Keldo Support";
inline constexpr int kClientWidthTwips = 9315;
inline constexpr int kClientHeightTwips = 6435;
inline constexpr std::uint8_t kBackRed = 224, kBackGreen = 255, kBackBlue = 224;

// How many findings the window shows: its labels marked Finding.
inline constexpr std::size_t kFindingCount = [] {
  std::size_t count = 0;
  for (const ControlSpec& entry : kControls) count += entry.role == ControlRole::Finding ? 1 : 0;
  return count;
}();

// The result labels from top to bottom, as a person reads the window.
inline constexpr std::array<Control, kFindingCount> kResultLabelsTopDown = [] {
  std::array<Control, kFindingCount> labels{};
  std::size_t count = 0;
  for (const ControlSpec& entry : kControls) {
    if (entry.role != ControlRole::Finding) continue;
    // Insertion by design top: the tab order need not be the reading order.
    std::size_t at = count++;
    for (; at > 0 && kControls[static_cast<std::size_t>(labels[at - 1])].top > entry.top; --at) {
      labels[at] = labels[at - 1];
    }
    labels[at] = entry.id;
  }
  return labels;
}();

}  // namespace keldo
