#include "driver/scenarios.h"

#include <array>

namespace {

using Captions = std::map<Control, std::wstring>;

// The ordinary installation laid out by run-wine-suite.sh: the database on
// D:, settings AutoUpdate "No", Network "Yes", PkgNbr "123456", VerNbr
// "v6.3.215 01/12/2024"; the PC's files v6.3.218 and 31/12/2026; the website
// offers v6.3.221 and knows serial 123456 until 31/12/2027.
Captions Ordinary(Captions changes = {}) {
  Captions captions = {
      {Control::lblSerial, L"Serial Number:  123456"},
      {Control::lblServerVersion, L"Version in Latest Progs folder: v6.3.218 10/02/2025"},
      {Control::lblWebVersion, L"Version on website: 63221"},
      {Control::lblPCversion, L"Version on this PC: 63215"},
      {Control::lblSingleOrNetwork, L"Multi-user version of Keldo"},
      {Control::lblServerShowsExpires, L"PC shows support expires: 31/12/2026"},
      // The website's text after " expires:" keeps its blank and line end.
      {Control::lblWebsiteExpires, L"Website show your support expires:  31/12/2027\r\n"},
      {Control::lblAutoUpdate, L"Auto Update:  User turned it OFF"},
      {Control::lblServer, L"Keldo Database on Drive: D"},
  };
  for (auto& [control, caption] : changes) captions[control] = caption;
  return captions;
}

const std::wstring kNoWebExpiry = L"Website shows support expires: --------";

const std::array<Scenario, 10> kScenarios = {{
    {"ordinary", Action::Run, Ordinary(), {}, false, {}, true},
    {"network-drive", Action::Run, Ordinary({{Control::lblServer, L"Keldo Database on Drive: F"}}),
     {}, false, {}},
    {"no-drive", Action::Run,
     {{Control::lblSerial, L"Serial Number:  123456"},
      {Control::lblSingleOrNetwork, L"Multi-user version of Keldo"},
      {Control::lblAutoUpdate, L"Auto Update:  User turned it OFF"}},
     {L"Your Accounts database not found so cannot continue"}, true,
     {L"net use F: \\\\fileserver\\keldo|show=2", L"net use H: \"\\\\fileserver\\my data\"|show=2",
      L"net use K: \"\\\\fileserver\\old data\\\\\"|show=2"},
     true},
    {"website-down", Action::Run,
     Ordinary({{Control::lblWebVersion, L"Version on website: 0"},
               {Control::lblWebsiteExpires, kNoWebExpiry}}),
     {}, false, {}},
    {"unreadable-answer", Action::Run,
     Ordinary({{Control::lblSerial, L"Serial Number:  000000"},
               {Control::lblWebsiteExpires, kNoWebExpiry}}),
     {L"Could not read from website"}, false, {}},
    {"empty-latest-progs", Action::Run,
     Ordinary({{Control::lblServerShowsExpires, L"PC shows support expires: error"},
               {Control::lblServerVersion, L"Version in Latest Progs folder: error"}}),
     {}, false, {}},
    // A file where the folder should be: the folder cannot be made, and the
    // download has nowhere to go.
    {"folder-not-creatable", Action::Run,
     Ordinary({{Control::lblServerShowsExpires, L"PC shows support expires: error"},
               {Control::lblServerVersion, L"Version in Latest Progs folder: error"},
               {Control::lblWebVersion, L"Version on website: 0"}}),
     {L"Cannot create Latest Program Folder"}, false, {}},
    {"start-twice", Action::RunTwice,
     Ordinary({{Control::lblServerShowsExpires, L"PC shows support expires: 01/01/2030"}}), {},
     false, {}},
    {"exit", Action::Exit, {}, {}, true, {}},
    {"close-box", Action::CloseBox, {}, {}, true, {}},
}};

}  // namespace

const Scenario* FindScenario(const std::string& name) {
  for (const Scenario& scenario : kScenarios) {
    if (scenario.name == name) return &scenario;
  }
  return nullptr;
}

std::wstring ExpectedCaption(const Scenario& scenario, Control control) {
  if (const auto found = scenario.captions.find(control); found != scenario.captions.end()) {
    return found->second;
  }
  return DesignCaption(control);
}

std::wstring DesignCaption(Control control) {
  const char16_t* design = SpecOf(control).designCaption;
  return std::wstring(design, design + std::char_traits<char16_t>::length(design));
}
