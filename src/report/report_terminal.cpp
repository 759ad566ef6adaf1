#include "report/report_terminal.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
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

void IgnoreBrokenPipeSignal() {
#ifndef _WIN32
  ::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace keldo
