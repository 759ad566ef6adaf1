#pragma once
// The program under test started as a double click starts it: from its own
// folder, with no arguments, inheriting this process's environment.
#include <windows.h>

#include <string>

#include "platform/windows/unique_handle.h"

namespace keldo {

struct StartedProgram {
  KernelHandle process;
  DWORD processId = 0;
  DWORD threadId = 0;
};

// False, with the system's code left in GetLastError(), when it did not start.
bool StartProgram(const std::wstring& path, StartedProgram& program);

}  // namespace keldo
