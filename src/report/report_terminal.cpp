#include "report/report_terminal.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace keldo {

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  // Only a console has a console mode; a pipe or a file has none.
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
#else
  return ::isatty(STDERR_FILENO) == 1;
#endif
}

std::size_t StandardErrorColumns() {
#ifdef _WIN32
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
#else
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
#endif
}

void IgnoreBrokenPipeSignal() {
#ifndef _WIN32
  ::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace keldo
