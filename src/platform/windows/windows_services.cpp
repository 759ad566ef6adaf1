// The Windows platform layer as one set of ports.
#include "base/platform_services.h"
#include "platform/windows/clock/local_clock.h"
#include "platform/windows/files/file_system.h"
#include "platform/windows/files/text_files.h"
#include "platform/windows/mapper/drive_mapper.h"
#include "platform/windows/registry/network_registry.h"
#include "platform/windows/registry/settings_store.h"
#include "platform/windows/web/web_component.h"

namespace keldo {

namespace {

class WindowsServices final : public PlatformServices {
 public:
  SettingsStore& Settings() override { return settings_; }
  FileSystem& Files() override { return files_; }
  NetworkRegistry& Registry() override { return registry_; }
  DriveMapper& Mapper() override { return mapper_; }
  TextFiles& TextInput() override { return textFiles_; }
  WebComponent& Web() override { return web_; }
  Clock& LocalClock() override { return clock_; }

 private:
  RegistrySettings settings_;
  DriveFiles files_;
  AnsiRegistry registry_;
  ProcessMapper mapper_;
  WinTextFiles textFiles_;
  WinHttpComponent web_;
  keldo::LocalClock clock_;
};

}  // namespace

std::unique_ptr<PlatformServices> MakePlatformServices() {
  return std::make_unique<WindowsServices>();
}

}  // namespace keldo
