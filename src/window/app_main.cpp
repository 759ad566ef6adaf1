// CheckKeldoSupport.exe: start-up, then the window's events until the end.
#include <windows.h>

#include <exception>

#include "app/main_check.h"
#include "base/platform_services.h"
#include "platform/windows/text/wide_text.h"
#include "window/main_window.h"

namespace {

// No exception may leave wWinMain: a text that does not fit in memory gives
// a box with one that needs none.
void ShowCannotStart(const char* what) noexcept {
  // A window that was shown and is gone again has posted the quit message,
  // which would close the box at once, unseen.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  const auto* title = reinterpret_cast<const wchar_t*>(keldo::kAppTitle);
  try {
    MessageBoxW(nullptr,
                keldo::Wide(u"The program cannot start: " +
                            keldo::FromUtf8(what != nullptr ? what : "an error of unknown kind"))
                    .c_str(),
                title, MB_OK);
  } catch (...) {
    MessageBoxW(nullptr, L"The program cannot start: out of memory", title, MB_OK);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    const auto services = keldo::MakePlatformServices();
    keldo::MainWindow window(instance);
    const auto check = keldo::Main(services->WithView(window), keldo::ConfiguredWebsite());
    window.AttachCheck(check.get());
    return window.RunMessageLoop();
  } catch (const std::exception& error) {
    // Start-up failed: the window, if it was shown, is gone by now.
    ShowCannotStart(error.what());
    return 1;
  } catch (...) {
    ShowCannotStart(nullptr);
    return 1;
  }
}
