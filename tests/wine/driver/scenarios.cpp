#include "driver/scenarios.h"

#include <array>

#include "sample_installation_values.h"

namespace keldo {

namespace {

using Captions = std::map<Control, std::wstring>;

// The ordinary installation laid out by run-wine-suite.sh, the sample one
// (demo/sample_installation.conf): automatic updates off, multi-user, the
// database on D:.
Captions Ordinary(Captions changes = {}) {
  Captions captions = {
      {Control::lblSerial, L"Serial Number:  " KELDO_SAMPLE_SERIAL},
      {Control::lblServerVersion,
       L"Version in Latest Progs folder: " KELDO_SAMPLE_LATEST_VERSION_LINE},
      {Control::lblWebVersion, L"Version on website: " KELDO_SAMPLE_WEBSITE_VERSION_NUMBER},
      {Control::lblPCversion, L"Version on this PC: " KELDO_SAMPLE_INSTALLED_VERSION_NUMBER},
      {Control::lblSingleOrNetwork, L"Multi-user version of Keldo"},
      {Control::lblServerShowsExpires,
       L"PC shows support expires: " KELDO_SAMPLE_SUPPORT_EXPIRY_LINE},
      // The website's text after " expires:" keeps its blank and line end.
      {Control::lblWebsiteExpires,
       L"Website show your support expires:  " KELDO_SAMPLE_WEBSITE_EXPIRY L"\r\n"},
      {Control::lblAutoUpdate, L"Auto Update:  User turned it OFF"},
      {Control::lblServer, L"Keldo Database on Drive: " KELDO_SAMPLE_DATABASE_DRIVE},
  };
  for (auto& [control, caption] : changes) captions[control] = caption;
  return captions;
}

// When the database is on no drive: the settings stage's captions, then
// the box and the end.
Captions NotFound() {
  return {{Control::lblSerial, L"Serial Number:  " KELDO_SAMPLE_SERIAL},
          {Control::lblSingleOrNetwork, L"Multi-user version of Keldo"},
          {Control::lblAutoUpdate, L"Auto Update:  User turned it OFF"}};
}
const std::wstring kNotFoundBox = L"Your Accounts database not found so cannot continue";

const std::wstring kNoWebExpiry = L"Website shows support expires: --------";

// When the website cannot be reached (or the proxy before it fails): its
// two findings as a failed request leaves them.
Captions WebsiteFailed() {
  return Ordinary({{Control::lblWebVersion, L"Version on website: 0"},
                   {Control::lblWebsiteExpires, kNoWebExpiry}});
}

// After the long-serial settings: the captions that differ from the ordinary
// run, so that between the two runs every settings caption is shown once.
Captions LongSerial() {
  return Ordinary({{Control::lblSerial, std::wstring(L"Serial Number:  ") + kLongSerial},
                   {Control::lblAutoUpdate, L"Auto Update:  ON"},
                   {Control::lblSingleOrNetwork, L"Single-user version of Keldo"},
                   {Control::lblWebsiteExpires, kNoWebExpiry}});
}

const std::array<Scenario, 23> kScenarios = {{
    {.name = "ordinary",
     .action = Action::Run,
     .captions = Ordinary(),
     .seeLayout = true,
     .copyFindings = true},
    {.name = "network-drive",
     .action = Action::Run,
     .captions = Ordinary({{Control::lblServer, L"Keldo Database on Drive: F"}})},
    {.name = "no-drive",
     .action = Action::Run,
     .captions = NotFound(),
     .boxes = {kNotFoundBox},
     .endsItself = true,
     .netCalls = {L"net use F: \\\\fileserver\\keldo|show=2",
                  L"net use H: \"\\\\fileserver\\my data\"|show=2",
                  L"net use K: \"\\\\fileserver\\old data\\\\\"|show=2"},
     .seeLayout = true},
    // The remembered K: comes back 1.5 s after its net use starts: found in
    // the same run.
    {.name = "late-drive",
     .action = Action::RunProbed,
     .captions = Ordinary({{Control::lblServer, L"Keldo Database on Drive: K"}}),
     .netCalls = {L"net use K: \\\\fileserver\\keldo|show=2"}},
    // Its net use never ends: after the bound, the box and the end.
    {.name = "endless-net",
     .action = Action::RunProbed,
     .captions = NotFound(),
     .boxes = {kNotFoundBox},
     .endsItself = true,
     .netCalls = {L"net use K: \\\\fileserver\\keldo|show=2"}},
    {.name = "website-down", .action = Action::Run, .captions = WebsiteFailed()},
    {.name = "unreadable-answer",
     .action = Action::Run,
     .captions = Ordinary({{Control::lblSerial, L"Serial Number:  000000"},
                           {Control::lblWebsiteExpires, kNoWebExpiry}}),
     .boxes = {L"Could not read from website"},
     .copyFindings = true},
    {.name = "empty-latest-progs",
     .action = Action::Run,
     .captions = Ordinary({{Control::lblServerShowsExpires, L"PC shows support expires: error"},
                           {Control::lblServerVersion, L"Version in Latest Progs folder: error"}})},
    // A file where the folder should be: the folder cannot be made, and the
    // download has nowhere to go.
    {.name = "folder-not-creatable",
     .action = Action::Run,
     .captions = Ordinary({{Control::lblServerShowsExpires, L"PC shows support expires: error"},
                           {Control::lblServerVersion, L"Version in Latest Progs folder: error"},
                           {Control::lblWebVersion, L"Version on website: 0"}}),
     .boxes = {L"Cannot create Latest Program Folder"}},
    {.name = "start-twice",
     .action = Action::RunTwice,
     .captions =
         Ordinary({{Control::lblServerShowsExpires, L"PC shows support expires: 01/01/2030"}})},
    {.name = "exit", .action = Action::Exit, .endsItself = true},
    {.name = "close-box", .action = Action::CloseBox, .endsItself = true},
    // Behind the user's proxy (run-wine-suite.sh sets it up): through its
    // tunnel, or through the one its configuration script names, the run is
    // ordinary; a proxy that wants a password or the Windows logon, or shows
    // its own certificate, fails the website's probes the ordinary way, and
    // nothing asks the user for anything.
    {.name = "proxy-tunnel", .action = Action::Run, .captions = Ordinary()},
    {.name = "proxy-script", .action = Action::Run, .captions = Ordinary()},
    {.name = "proxy-407", .action = Action::Run, .captions = WebsiteFailed()},
    {.name = "proxy-407-negotiate", .action = Action::Run, .captions = WebsiteFailed()},
    {.name = "proxy-intercept", .action = Action::Run, .captions = WebsiteFailed()},
    // The window keeps answering while the run waits: for a website that is
    // silent for 12 s on each request, and for a drive whose file test is
    // slow. A click on Start sent meanwhile starts nothing; a close posted
    // meanwhile waits for the run's end (then ends the program).
    {.name = "website-stall", .action = Action::RunStalled, .captions = Ordinary()},
    {.name = "slow-drive", .action = Action::RunProbed, .captions = Ordinary()},
    {.name = "close-during-run",
     .action = Action::CloseDuringRun,
     .captions = Ordinary(),
     .endsItself = true},
    // The window at 100 %, 150 % and 200 %, in the ordinary installation.
    {.name = "scale-96", .action = Action::AtScale, .captions = LongSerial(), .dpi = 96},
    {.name = "scale-144", .action = Action::AtScale, .captions = LongSerial(), .dpi = 144},
    {.name = "scale-192", .action = Action::AtScale, .captions = LongSerial(), .dpi = 192},
}};

}  // namespace

const Scenario* FindScenario(const std::string& name) {
  for (const Scenario& scenario : kScenarios) {
    if (scenario.name == name) return &scenario;
  }
  return nullptr;
}

std::vector<std::string> ScenarioNames() {
  std::vector<std::string> names;
  for (const Scenario& scenario : kScenarios) names.push_back(scenario.name);
  return names;
}

std::wstring ExpectedCaption(const Scenario& scenario, Control control) {
  if (const auto found = scenario.captions.find(control); found != scenario.captions.end()) {
    return found->second;
  }
  return DesignCaption(control);
}

SettingValues LongSerialSettings() {
  return {{L"AutoUpdate", L"Yes"}, {L"Network", L"No"}, {L"PkgNbr", kLongSerial}};
}

std::wstring DesignCaption(Control control) {
  const char16_t* design = SpecOf(control).designCaption;
  return std::wstring(design, design + std::char_traits<char16_t>::length(design));
}

}  // namespace keldo
