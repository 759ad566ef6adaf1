// The console report writes UTF-8. A Windows console shows it as such only
// while its output code page is UTF-8, so the report switches it for its
// own lifetime and gives the user's console its code page back at the end.
#include <windows.h>

#include <iostream>

namespace keldo {

namespace {

class Utf8Console {
 public:
  Utf8Console() : previous_(GetConsoleOutputCP()) {
    if (previous_ != 0) SetConsoleOutputCP(CP_UTF8);
  }
  ~Utf8Console() {
    if (previous_ == 0) return;
    std::cout.flush();
    std::cerr.flush();
    SetConsoleOutputCP(previous_);
  }

 private:
  UINT previous_;  // 0 without a console
};

const Utf8Console utf8Console;

}  // namespace

}  // namespace keldo
