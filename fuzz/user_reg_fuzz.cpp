// The prefix's user.reg as the settings store and the remembered mappings
// read it, whatever the file holds: never a crash, and a re-mapping is only
// ever asked for a UNC path a command line can carry, whose smb:// address
// is plain ASCII.
#include <vector>

#include "fuzz_require.h"
#include "local/reconnect.h"
#include "platform/linux/mapper/drive_mapper.h"
#include "platform/linux/registry/network_registry.h"
#include "platform/linux/registry/settings_store.h"
#include "support/fake_local.h"
#include "support/temp_folder.h"

// The entry point is libFuzzer's and stays outside the project namespace.
using namespace keldo;

namespace {

bool PlainUrlByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("%-._~/:").find(c) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TempFolder folder("keldo-fuzz");
  const std::string path = folder.Path() + "/user.reg";
  folder.Write("user.reg", std::string(reinterpret_cast<const char*>(data), size));

  RegFile userReg(path, kUserRegRoot);
  WineSettingsStore settings(userReg);
  for (const char16_t* key : {u"AutoUpdate", u"Network", u"PkgNbr", u"VerNbr"}) {
    (void)settings.GetSetting(u"Keldo6", u"ThisPC", key);
  }

  RegFile systemReg(folder.Path() + "/system.reg", kSystemRegRoot);  // none: code page 1252
  AnsiCodePage codePage(systemReg);
  WineNetworkRegistry registry(userReg, codePage);
  FakeMapper mapper;
  RecordedDebug debug;
  ReconnectDrives(registry, mapper, debug);
  for (const auto& [letter, remote] : mapper.started) {
    FUZZ_REQUIRE(letter.size() == 1 && letter[0] >= u'A' && letter[0] <= u'Z');
    FUZZ_REQUIRE(remote.rfind(u"\\\\", 0) == 0 && CanCarryRemotePath(remote));
    // No address (a path with no server, such as \\ alone) means the
    // Linux mapper refuses the path and starts nothing.
    const std::string url = SmbUrl(remote);
    FUZZ_REQUIRE(url.empty() || url.rfind("smb://", 0) == 0);
    for (const char c : url) FUZZ_REQUIRE(PlainUrlByte(c));
  }
  return 0;
}
