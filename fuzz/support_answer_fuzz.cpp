// CheckSupportOnWeb with any answer body: what it leaves in WebExpiry and
// whether it shows "Could not read from website", against the two markers
// looked up in the body directly.
#include "app/main_check.h"
#include "checks/check_run.h"
#include "fuzz_require.h"
#include "fuzz_text.h"
#include "support/rig.h"

// The entry point is libFuzzer's and stays outside the project namespace.
using namespace keldo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Rig rig;
  rig.web.replyText = FuzzText(data, size);
  rig.view.screenPointer = -1;  // so that only the probe can put the default back
  MainCheck window(rig.ports, u"https://keldo.test");
  CheckState state;
  state.SerialNbr = u"123456";
  state.WebExpiry = u"left from an earlier run";
  CheckRun(rig.ports, u"https://keldo.test", state, window).AskWebsiteForExpiry();

  const Text& body = rig.web.replyText;
  const bool readable = body.find(u"Expired=") != Text::npos;
  const auto expires = body.find(u" expires:");
  const Text expected =
      readable && expires != Text::npos && expires > 0 ? body.substr(expires + 9) : Text();
  FUZZ_REQUIRE(state.WebExpiry == expected);
  const std::vector<std::string> boxes = rig.view.Boxes();
  FUZZ_REQUIRE(boxes.size() == (readable ? 0u : 1u));
  FUZZ_REQUIRE(readable || boxes[0] == "Could not read from website");
  FUZZ_REQUIRE(rig.view.screenPointer == kPointerDefault);
  return 0;
}
