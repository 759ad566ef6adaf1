// Stands in for net.exe: appends the command line it was started with and
// its show state to the file that KELDO_NET_LOG names, then exits. Built
// twice: the recording stand-in that tests install as the system's own
// net.exe, and, with KELDO_PLANTED_NET, a net.exe planted where only a
// search would find it, whose lines say "planted" and where it lies.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t log[MAX_PATH];
  if (!GetEnvironmentVariableW(L"KELDO_NET_LOG", log, MAX_PATH)) return 2;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  std::wstring line = GetCommandLineW();
#ifdef KELDO_PLANTED_NET
  wchar_t self[MAX_PATH] = L"?";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  line = L"planted " + std::wstring(self) + L": " + line;
#endif
  line += L"|show=" +
          std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) +
          L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size,
                      nullptr, nullptr);
  // A test reading the record at this moment may not share writing: try
  // again for a while rather than lose the line.
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    if (attempt > 0) Sleep(20);
    file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION) return 3;
  }
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
