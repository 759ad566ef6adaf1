#pragma once
// Every port but the view, as the platform that the program runs on
// provides them. Each platform layer defines MakePlatformServices(); the
// front ends (the window, the console report) add their own view.
#include <memory>

#include "base/ports.h"

namespace keldo {

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;
  virtual SettingsStore& Settings() = 0;
  virtual FileSystem& Files() = 0;
  virtual NetworkRegistry& Registry() = 0;
  virtual DriveMapper& Mapper() = 0;
  virtual TextFiles& TextInput() = 0;
  virtual WebComponent& Web() = 0;
  virtual Clock& LocalClock() = 0;

  Ports WithView(MainView& view) {
    return Ports{view, Settings(), Files(), Registry(), Mapper(), TextInput(), Web(), LocalClock()};
  }
};

// Throws RunTimeError when the platform cannot be set up.
std::unique_ptr<PlatformServices> MakePlatformServices();

}  // namespace keldo
