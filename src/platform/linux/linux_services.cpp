#include "platform/linux/linux_services.h"

#include "platform/linux/clock/local_clock.h"
#include "platform/linux/files/file_system.h"
#include "platform/linux/files/text_files.h"
#include "platform/linux/mapper/drive_mapper.h"
#include "platform/linux/registry/network_registry.h"
#include "platform/linux/registry/reg_file.h"
#include "platform/linux/registry/settings_store.h"
#include "platform/linux/text/ansi_code_page.h"
#include "platform/linux/web/https_libraries.h"
#include "platform/linux/web/web_component.h"

namespace keldo {

namespace {

class LinuxPlatformServices : public PlatformServices {
 public:
  explicit LinuxPlatformServices(const LinuxPlatformOptions& options)
      : paths_(options.prefix),
        userReg_(options.prefix.UserReg(), kUserRegRoot),
        systemReg_(options.prefix.SystemReg(), kSystemRegRoot),
        codePage_(systemReg_),
        settings_(userReg_),
        files_(paths_, systemReg_),
        registry_(userReg_, codePage_),
        mapper_(options.mountProgram),
        textInput_(paths_, codePage_),
        web_(paths_, options.webLimits) {}

  SettingsStore& Settings() override { return settings_; }
  FileSystem& Files() override { return files_; }
  NetworkRegistry& Registry() override { return registry_; }
  DriveMapper& Mapper() override { return mapper_; }
  TextFiles& TextInput() override { return textInput_; }
  WebComponent& Web() override { return web_; }
  Clock& LocalClock() override { return clock_; }

 private:
  WinePaths paths_;
  RegFile userReg_;
  RegFile systemReg_;
  AnsiCodePage codePage_;
  WineSettingsStore settings_;
  WineFileSystem files_;
  WineNetworkRegistry registry_;
  GioDriveMapper mapper_;
  PosixTextFiles textInput_;
  CurlWebComponent web_;
  keldo::LocalClock clock_;
};

}  // namespace

std::unique_ptr<PlatformServices> MakeLinuxPlatformServices(LinuxPlatformOptions options) {
  // Before the first connection, so that a failure is the start-up's.
  StartHttpsLibraries();
  return std::make_unique<LinuxPlatformServices>(options);
}

std::unique_ptr<PlatformServices> MakePlatformServices() {
  return MakeLinuxPlatformServices(LinuxPlatformOptions{WinePrefix::FromEnvironment(), {}, "gio"});
}

}  // namespace keldo
