#pragma once
// What a user must see in each scenario that run-wine-suite.sh lays out
// (drives, settings, files and the stand-in website's answers), by name.
#include <map>
#include <string>
#include <vector>

#include "base/controls.h"
#include "driver/product_settings.h"

namespace keldo {

enum class Action {
  Run,       // press Start once
  RunTwice,  // press Start, change the PC's expiry file, press Start again
  Exit,      // press Exit before any run
  CloseBox,  // close the window through its frame before any run
  AtScale,   // at the DPI the suite set: the ordinary run, then one with the
             // long-serial settings (LongSerialSettings), every caption fitting
  // The window's answers probed while the run lasts (answer_probe.h):
  RunProbed,       // press Start once
  RunStalled,      // press Start once; while the website is silent, cover and
                   // uncover the window and send a click on Start
  CloseDuringRun,  // press Start once; while the website is silent, post WM_CLOSE
};

// Written with designated initialisers: a row names what it sets, and the
// rest stays as here.
struct Scenario {
  std::string name;
  Action action = Action::Run;
  // Every caption once the run is over, or when the box that ends the
  // program opens; the design caption where none is given.
  std::map<Control, std::wstring> captions{};
  std::vector<std::wstring> boxes{};     // texts of the message boxes, in order
  bool endsItself = false;               // the program ends after its boxes
  std::vector<std::wstring> netCalls{};  // what the stub net.exe recorded, sorted
  bool seeLayout = false;                // check the window itself and take screenshots
  unsigned dpi = 0;                      // AtScale: the DPI the suite set for the prefix
  // Copy the findings during the run (at its first box) and after it.
  bool copyFindings = false;
};

const Scenario* FindScenario(const std::string& name);
// Every scenario's name, in the order the suite runs them: the one list of
// scenarios, which the suite asks for (keldo_window_driver --list).
std::vector<std::string> ScenarioNames();

std::wstring DesignCaption(Control control);
// The caption a scenario expects for `control`.
std::wstring ExpectedCaption(const Scenario& scenario, Control control);

// The PC's expiry file of the RunTwice scenario, and what it holds for the
// second run.
inline constexpr const wchar_t* kSecondExpiryFile = L"D:\\Keldo6\\LATEST_PROGS\\SupportExpiry.dat";
inline constexpr const char* kSecondExpiryBytes = "01/01/2030\r\n";
// What the AtScale scenarios change the settings to between their two runs: a
// serial number of 20 characters, automatic updates on, a single-user
// installation. The stand-in website does not know the serial.
inline constexpr const wchar_t* kLongSerial = L"K6ACC-2026-000481357";
SettingValues LongSerialSettings();
// What the ordinary run downloads and then deletes.
inline constexpr const wchar_t* kTemporaryDownload = L"D:\\Keldo6\\LATEST_PROGS\\temp_vers.dat";

}  // namespace keldo
