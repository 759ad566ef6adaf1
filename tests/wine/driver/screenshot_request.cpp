#include "driver/screenshot_request.h"

#include "platform/windows/unique_handle.h"

namespace keldo {

namespace {

constexpr DWORD kShotWaitMs = 15000;

}  // namespace

void PumpMessagesFor(DWORD ms) {
  const ULONGLONG until = GetTickCount64() + ms;
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

bool ScreenshotRequests::Take(const std::string& name, const RECT& area) const {
  if (folder_.empty()) return true;
  // Let the windows finish painting, this process's own included.
  PumpMessagesFor(300);
  const std::wstring request = folder_ + L"\\shot-request.txt";
  const std::wstring pending = request + L".part";
  const std::string line = name + " " + std::to_string(area.left) + " " + std::to_string(area.top) +
                           " " + std::to_string(area.right - area.left) + " " +
                           std::to_string(area.bottom - area.top) + "\n";
  {
    const KernelHandle file = OwnFileHandle(CreateFileW(
        pending.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
      return false;
    }
  }
  // Renamed only once complete, so the script never reads half a line.
  if (!MoveFileExW(pending.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  const ULONGLONG deadline = GetTickCount64() + kShotWaitMs;
  while (GetFileAttributesW(request.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount64() > deadline) return false;
    PumpMessagesFor(50);
  }
  return true;
}

RECT Union(const RECT& a, const RECT& b) {
  RECT both{};
  UnionRect(&both, &a, &b);
  return both;
}

}  // namespace keldo
