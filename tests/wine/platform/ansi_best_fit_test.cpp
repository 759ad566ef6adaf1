// Wine's own ANSI registry call on texts outside code page 1252: the bytes
// the Linux layer must hand out for the same texts (shared table).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/ansi_best_fit_cases.h"

namespace keldo {

namespace {

class WineBestFit : public ::testing::TestWithParam<AnsiBestFitCase> {};

TEST_P(WineBestFit, RegQueryValueExAGivesTheTablesBytes) {
  if (GetACP() != 1252) GTEST_SKIP() << "the table is for code page 1252";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KeldoBestFit", 0, nullptr, 0,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring text(GetParam().text,
                          GetParam().text + std::char_traits<char16_t>::length(GetParam().text));
  ASSERT_EQ(
      RegSetValueExW(key, L"RemotePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
      ERROR_SUCCESS);
  char bytes[256] = {};
  DWORD size = sizeof bytes;
  DWORD type = 0;
  ASSERT_EQ(
      RegQueryValueExA(key, "RemotePath", nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size),
      ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(std::string(bytes, size), GetParam().ansi + std::string(1, '\0'));
}

INSTANTIATE_TEST_SUITE_P(Table, WineBestFit, ::testing::ValuesIn(kAnsiBestFitCases),
                         [](const ::testing::TestParamInfo<AnsiBestFitCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace

}  // namespace keldo
