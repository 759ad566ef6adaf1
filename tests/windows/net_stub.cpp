// Stands in for net.exe: appends the command line it was started with and
// its show state to the file that KELDO_NET_LOG names, then exits. Built
// twice: the recording stand-in that tests install as the system's own
// net.exe, and, with KELDO_PLANTED_NET, a net.exe planted where only a
// search would find it, whose lines say "planted" and where it lies.
//
// It can also take its time, as a real re-mapping does: with
// KELDO_NET_DELAY_MS (a number, or "forever") it waits that long after its
// record, and then, with KELDO_NET_MOVE_FROM and KELDO_NET_MOVE_TO, moves a
// prepared folder to where the letter's dosdevices link points, so that the
// drive appears only then.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring Variable(const wchar_t* name) {
  wchar_t value[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

// The re-mapping itself: nothing, or a wait and a drive appearing.
int TakeItsTime() {
  const std::wstring delay = Variable(L"KELDO_NET_DELAY_MS");
  if (delay.empty()) return 0;
  Sleep(delay == L"forever" ? INFINITE
                            : static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));
  const std::wstring from = Variable(L"KELDO_NET_MOVE_FROM"), to = Variable(L"KELDO_NET_MOVE_TO");
  if (from.empty() || to.empty()) return 0;
  return MoveFileW(from.c_str(), to.c_str()) ? 0 : 4;
}

}  // namespace

int wmain() {
  const std::wstring log = Variable(L"KELDO_NET_LOG");
  if (log.empty()) return 2;
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
    file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION) return 3;
  }
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return TakeItsTime();
}
