#include "support/rig.h"

namespace keldo {

std::unique_ptr<Rig> Rig::Bare() {
  auto rig = std::make_unique<Rig>();
  rig->web.fetchResult = 0;
  rig->web.submitOK = 0;
  return rig;
}

std::unique_ptr<Rig> Rig::Ordinary() {
  auto rig = std::make_unique<Rig>();
  rig->settings.Set(u"Network", u"Yes");
  rig->settings.Set(u"PkgNbr", u"K-1001");
  rig->settings.Set(u"VerNbr", u"v6.3.215 01/12/2024");
  rig->fileSystem.passes = {
      {{u"A", kDriveRemovable}, {u"C", kDriveFixed}, {u"D", kDriveFixed}, {u"E", kDriveCdRom}}};
  rig->AddFile(kDbOnD, "");
  rig->AddFile(Text(kLatestOnD) + u"SupportExpiry.dat", "31/12/2025\r\n");
  rig->AddFile(Text(kLatestOnD) + u"keldo63version.dat", "v6.3.210 01/11/2024\r\nnotes\r\n");
  rig->web.fetchBody = "v6.3.216 02/12/2024\r\n";
  rig->web.replyText = u"Serial K-1001\nExpired=0\n expires: 31/12/2025";
  return rig;
}

MainCheck& Rig::Start() {
  window = Main(ports, kWebsite);
  view.log.clear();
  return *window;
}

std::vector<std::string> Rig::PressStart() {
  const std::size_t before = view.log.size();
  window->cmdStart_Click();
  return {view.log.begin() + static_cast<std::ptrdiff_t>(before), view.log.end()};
}

}  // namespace keldo
