// The re-mapping command starts the system's "net", minimised, with the
// command line as built; a stub net.exe beside this program records it.
#include <gtest/gtest.h>

#include "platform/windows/process_mapper.h"
#include "windows/platform_fixture.h"

namespace {

// The stub runs on its own; wait for its record, but never for ever.
std::string AwaitLines(const std::wstring& log, std::size_t lines) {
  std::string text;
  for (int i = 0; i < 200; ++i) {
    text = ReadBytes(log);
    if (text != "<missing>" && static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) {
      break;
    }
    Sleep(50);
  }
  return text;
}

TEST(ProcessMapper, StartsNetUseMinimisedWithoutWaiting) {
  const std::wstring log = NewTestFolder() + L"net.log";
  ASSERT_TRUE(SetEnvironmentVariableW(L"KELDO_NET_LOG", log.c_str()));
  ProcessMapper mapper;
  mapper.StartMapping(u"F", u"\\\\server\\data");
  EXPECT_EQ(AwaitLines(log, 1), "net use F: \\\\server\\data|show=2\n");
  mapper.StartMapping(u"H", u"\\\\server\\my data");
  EXPECT_EQ(AwaitLines(log, 2),
            "net use F: \\\\server\\data|show=2\n"
            "net use H: \"\\\\server\\my data\"|show=2\n");
  SetEnvironmentVariableW(L"KELDO_NET_LOG", nullptr);
}

}  // namespace
