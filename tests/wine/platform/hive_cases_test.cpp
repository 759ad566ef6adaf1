// Wine's own reading of each registry file of the shared table: loaded with
// RegLoadKeyW, which goes through the loader that reads user.reg at Wine's
// start, and asked for the value the way the product asks. The Linux
// reader's tests require the same answers of our reader.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "support/wine_hive_cases.h"

namespace keldo {

namespace {

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Loading a hive needs the restore privilege, which an administrator's
// token holds but has not enabled.
void EnableRestorePrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueW(nullptr, L"SeRestorePrivilege", &privileges.Privileges[0].Luid)) {
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  }
  CloseHandle(token);
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Wine's answer for one case, in the table's form.
std::string WineAnswer(const WineHiveCase& c, int index) {
  const std::u16string hive = u"KeldoHiveCase" + std::u16string(1, u'A' + index % 26) +
                              std::u16string(1, u'A' + index / 26);
  const std::string text = WineHiveText(c, u"\\Registry\\User\\" + hive);
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + Wide(hive) + L".reg";
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return "cannot write the file";
  fwrite(text.data(), 1, text.size(), file);
  fclose(file);
  std::string answer = "absent";
  if (RegLoadKeyW(HKEY_USERS, Wide(hive).c_str(), path.c_str()) == ERROR_SUCCESS) {
    HKEY key = nullptr;
    const std::wstring keyPath = Wide(hive) + L"\\" + Wide(c.key);
    if (RegOpenKeyExW(HKEY_USERS, keyPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      unsigned char data[1024];
      DWORD type = 0;
      DWORD size = sizeof data;
      const LONG status = RegQueryValueExW(key, Wide(c.value).c_str(), nullptr, &type, data, &size);
      answer = status == ERROR_SUCCESS          ? WineHiveAnswer(type, data, size)
               : status == ERROR_FILE_NOT_FOUND ? "no value"
                                                : "status " + std::to_string(status);
      RegCloseKey(key);
    }
    RegUnLoadKeyW(HKEY_USERS, Wide(hive).c_str());
  }
  DeleteFileW(path.c_str());
  return answer;
}

class WineHives : public ::testing::TestWithParam<WineHiveCase> {};

TEST_P(WineHives, WineReadsThemAsTheTableSays) {
  if (!UnderWine()) GTEST_SKIP() << "Wine's reading of its own registry files";
  EnableRestorePrivilege();
  int index = 0;  // each case a hive of its own name
  while (std::string(kWineHiveCases[index].name) != GetParam().name) ++index;
  EXPECT_EQ(WineAnswer(GetParam(), index), GetParam().wine);
}

INSTANTIATE_TEST_SUITE_P(Table, WineHives, ::testing::ValuesIn(kWineHiveCases),
                         [](const ::testing::TestParamInfo<WineHiveCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace

}  // namespace keldo
