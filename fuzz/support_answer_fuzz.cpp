// CheckSupportOnWeb with any answer body: what it leaves in WebExpiry and
// whether it shows "Could not read from website", against the two markers
// looked up in the body directly.
#include "app/main_check.h"
#include "checks/check_run.h"
#include "fuzz_require.h"
#include "fuzz_text.h"
#include "memory_ports.h"

// The entry point is libFuzzer's and stays outside the project namespace.
using namespace keldo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryPorts memory;
  memory.web.body = FuzzText(data, size);
  MainCheck window(memory.ports, u"https://keldo.test");
  CheckState state;
  state.SerialNbr = u"123456";
  state.WebExpiry = u"left from an earlier run";
  CheckRun(memory.ports, u"https://keldo.test", state, window).AskWebsiteForExpiry();

  const Text& body = memory.web.body;
  const bool readable = body.find(u"Expired=") != Text::npos;
  const auto expires = body.find(u" expires:");
  const Text expected = readable && expires != Text::npos && expires > 0 ? body.substr(expires + 9) : Text();
  FUZZ_REQUIRE(state.WebExpiry == expected);
  FUZZ_REQUIRE(memory.view.messages.size() == (readable ? 0u : 1u));
  FUZZ_REQUIRE(readable || memory.view.messages[0] == u"Could not read from website");
  FUZZ_REQUIRE(memory.view.screenPointer == kPointerDefault);
  return 0;
}
