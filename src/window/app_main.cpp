// CheckKeldoSupport.exe: start-up, then the window's events until the end.
#include <windows.h>

#include <exception>

#include "app/main_check.h"
#include "base/platform_services.h"
#include "platform/windows/wide_text.h"
#include "window/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    const auto services = keldo::MakePlatformServices();
    keldo::MainWindow window(instance);
    const auto check = keldo::Main(services->WithView(window), keldo::ConfiguredWebsite());
    window.AttachCheck(check.get());
    return window.RunMessageLoop();
  } catch (const std::exception& error) {
    // Start-up failed: the window, if it was shown, is gone by now.
    MessageBoxW(nullptr,
                keldo::Wide(u"The program cannot start: " + keldo::FromUtf8(error.what())).c_str(),
                keldo::Wide(keldo::kAppTitle).c_str(), MB_OK);
    return 1;
  }
}
