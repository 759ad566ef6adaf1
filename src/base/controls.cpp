#include "base/controls.h"

namespace keldo {

const std::array<ControlSpec, kControlCount> kControls = {{
    {Control::lblProgress, "lblProgress", ControlKind::Label, u"", 240, 120, 4815, 675, 975},
    {Control::lblTitle, "lblTitle", ControlKind::Label,
     u"Keldo utility program to check your Keldo support and program versions", 1320, 150, 6225,
     315, 975},
    // Serial number and auto update as wide as the result labels below them:
    // at 2235 twips "Auto Update:  User turned it OFF" and a long serial
    // number wrapped, and the label's height cut their second line off.
    {Control::lblSerial, "lblSerial", ControlKind::Label, u"Serial Number:", 690, 720, 4725, 315,
     900},
    // 4755, 30 twips more than the result labels below it, is the width this
    // label was designed with, kept as every measure here is kept (a mend to
    // the layout says so where it is made): not a slip to align.
    {Control::lblServerVersion, "lblServerVersion", ControlKind::Label, u"Version in Latest Progs:",
     690, 1095, 4755, 315, 900},
    {Control::lblWebVersion, "lblWebVersion", ControlKind::Label, u"Version on website: ", 690,
     1470, 4725, 315, 900},
    {Control::lblPCversion, "lblPCversion", ControlKind::Label, u"Version on this PC: ", 690, 1860,
     4725, 315, 900},
    {Control::lblSingleOrNetwork, "lblSingleOrNetwork", ControlKind::Label,
     u"Single or MultiUser: ", 690, 2220, 4725, 315, 900},
    {Control::lblServerShowsExpires, "lblServerShowsExpires", ControlKind::Label,
     u"PC shows support expires: ", 690, 2610, 4725, 315, 900},
    {Control::lblWebsiteExpires, "lblWebsiteExpires", ControlKind::Label,
     u"Website shows support expires:", 690, 2985, 4725, 315, 900},
    {Control::lblAutoUpdate, "lblAutoUpdate", ControlKind::Label, u"Auto Update:  ", 690, 3366,
     4725, 315, 900},
    {Control::lblServer, "lblServer", ControlKind::Label, u"Keldo Database on Drive:", 690, 3750,
     3855, 315, 900},
    {Control::Label9, "Label9", ControlKind::Label, u"", 690, 4122, 2235, 315, 900},
    {Control::Label10, "Label10", ControlKind::Label, u"", 690, 4500, 2235, 315, 900},
    {Control::cmdStart, "cmdStart", ControlKind::PushButton, u"Start", 7500, 5250, 1185, 465, 975},
    {Control::cmdExit, "cmdExit", ControlKind::PushButton, u"Exit", 7500, 5760, 1185, 465, 1125},
}};

const ControlSpec& SpecOf(Control id) { return kControls[static_cast<std::size_t>(id)]; }

std::optional<Control> ControlNamed(std::string_view name) {
  for (const auto& entry : kControls) {
    if (entry.name == name) return entry.id;
  }
  return std::nullopt;
}

}  // namespace keldo
