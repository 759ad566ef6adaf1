#include "windows/platform_fixture.h"

#include <gtest/gtest.h>

#include <atomic>

namespace keldo {

std::wstring NewTestFolder() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, temp);
  EXPECT_GT(length, 0u);
  const std::wstring folder = std::wstring(temp, length) + L"keldo-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter) + L"\\";
  EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
  return folder;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
  // Shares writing, so that a process appending to the file meanwhile is
  // not turned away.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(4096, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SetUserValue(const std::wstring& subKey, const wchar_t* name, DWORD type, const void* data,
                  DWORD size) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, subKey.c_str(), name, type, data, size),
            ERROR_SUCCESS);
}

void SetUserText(const std::wstring& subKey, const wchar_t* name, const std::wstring& text) {
  SetUserValue(subKey, name, REG_SZ, text.c_str(),
               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteUserKey(const std::wstring& subKey) {
  RegDeleteTreeW(HKEY_CURRENT_USER, subKey.c_str());
}

}  // namespace keldo
