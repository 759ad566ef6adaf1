#include "driver/program_start.h"

namespace keldo {

bool StartProgram(const std::wstring& path, StartedProgram& program) {
  std::wstring commandLine = L"\"" + path + L"\"";
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    return false;
  }
  KernelHandle(info.hThread).reset();
  program.process.reset(info.hProcess);
  program.processId = info.dwProcessId;
  program.threadId = info.dwThreadId;
  return true;
}

}  // namespace keldo
