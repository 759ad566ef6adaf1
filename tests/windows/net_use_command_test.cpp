// The re-mapping command line, split again by the system's own rules
// (CommandLineToArgvW): the path argument must come back exactly as it was
// remembered, whatever blanks, backslashes or quotes it holds.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows/mapper/net_use_command.h"
#include "platform/windows/text/wide_text.h"
#include "windows/platform_fixture.h"

namespace keldo {

namespace {

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(line.c_str(), &count);
  std::vector<std::wstring> split;
  if (arguments == nullptr) return split;
  for (int i = 0; i < count; ++i) split.emplace_back(arguments[i]);
  LocalFree(arguments);
  return split;
}

TEST(NetUseCommandLine, SplitsBackIntoTheRememberedPath) {
  const struct {
    const char* name;
    const wchar_t* path;
  } cases[] = {
      {"plain", L"\\\\server\\data"},
      {"trailing_backslash", L"\\\\server\\data\\"},
      {"blank", L"\\\\server\\my data"},
      {"blank_and_trailing_backslash", L"\\\\server\\my data\\"},
      {"blank_and_two_trailing_backslashes", L"\\\\server\\my data\\\\"},
      {"blank_and_three_trailing_backslashes", L"\\\\server\\my data\\\\\\"},
      {"backslashes_before_a_blank", L"\\\\server\\my\\\\ data"},
      {"blank_at_the_end", L"\\\\server\\share "},
      {"two_blanks", L"\\\\server\\my  data\\x"},
      {"tab", L"\\\\server\\my\tdata\\"},
      {"quote", L"\\\\server\\a\"b"},
      {"backslashes_before_a_quote", L"\\\\server\\a\\\\\"b c\\"},
      {"quote_at_the_end", L"\\\\server\\a b\""},
      {"non_ascii", L"\\\\s\u00e9rver\\\u20ac data\\"},
      {"line_feed", L"\\\\server\\a\nb"},
      {"carriage_return_and_escape", L"\\\\server\\a\r\x1b[2Jb"},
      {"delete", L"\\\\server\\a\x7f"},
      {"c1_control_and_no_break_space", L"\\\\server\\a\u0085\u00a0b"},
      {"control_before_a_quote", L"\\\\server\\\x01\"\x02"},
      {"empty", L""},
  };
  for (const auto& c : cases) {
    const std::wstring line = Wide(NetUseCommandLine(u"F", AsText(c.path)));
    const std::vector<std::wstring> split = SplitCommandLine(line);
    ASSERT_EQ(split.size(), 4u) << c.name << ": " << ToUtf8(AsText(line));
    EXPECT_EQ(split[0], L"net") << c.name;
    EXPECT_EQ(split[1], L"use") << c.name;
    EXPECT_EQ(split[2], L"F:") << c.name;
    EXPECT_EQ(split[3], c.path) << c.name << ": " << ToUtf8(AsText(line));
  }
}

TEST(NetUseCommandLine, QuotesWhatCouldSplitTheArgument) {
  const struct {
    Text path;
    const char16_t* line;
  } cases[] = {
      {u"\\\\server\\data", u"net use F: \\\\server\\data"},
      {u"\\\\server\\my data", u"net use F: \"\\\\server\\my data\""},
      {u"\\\\server\\my data\\", u"net use F: \"\\\\server\\my data\\\\\""},
      {u"\\\\server\\my data\\\\", u"net use F: \"\\\\server\\my data\\\\\\\\\""},
      {u"\\\\server\\my\\\\ data\\x", u"net use F: \"\\\\server\\my\\\\ data\\x\""},
      {u"\\\\server\\data\\", u"net use F: \\\\server\\data\\"},
      {u"\\\\s\u00e9rver\\\u20ac", u"net use F: \\\\s\u00e9rver\\\u20ac"},
      {u"\\\\server\\a\"b", u"net use F: \"\\\\server\\a\\\"b\""},
      {u"\\\\server\\a\\\"b c\\", u"net use F: \"\\\\server\\a\\\\\\\"b c\\\\\""},
      {u"\\\\server\\a b\"", u"net use F: \"\\\\server\\a b\\\"\""},
      {u"\\\\server\\a\nb", u"net use F: \\\\server\\a\nb"},
      {u"\\\\server\\a\r\x1b[2Jb", u"net use F: \\\\server\\a\r\x1b[2Jb"},
      {u"\\\\server\\a\tb", u"net use F: \"\\\\server\\a\tb\""},
      {u"\\\\server\\a\x7f", u"net use F: \\\\server\\a\x7f"},
      {u"\\\\server\\a\u0085\u00a0b", u"net use F: \\\\server\\a\u0085\u00a0b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NetUseCommandLine(u"F", c.path), c.line) << ToUtf8(c.path);
  }
}

TEST(QuotedArgument, QuotesAnArgumentSoThatItSplitsBackUnchanged) {
  const struct {
    const char* name;
    const char16_t* argument;
    const char16_t* quoted;
  } cases[] = {
      {"plain", u"\\\\s\\d\\", u"\\\\s\\d\\"},
      {"empty", u"", u"\"\""},
      {"tab", u"a\tb\\", u"\"a\tb\\\\\""},
      {"quote", u"a\"b", u"\"a\\\"b\""},
      {"backslashes_before_a_quote", u"a\\\\\"b c", u"\"a\\\\\\\\\\\"b c\""},
      {"backslashes_inside_stay_single", u"\\\\s\\a b\\\\c", u"\"\\\\s\\a b\\\\c\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QuotedArgument(c.argument), c.quoted) << c.name;
  }
}

}  // namespace

}  // namespace keldo
