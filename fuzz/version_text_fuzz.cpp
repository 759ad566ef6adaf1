// VersionNumber and RemoveChars on any text: never a crash or an escaped
// exception, and the few properties every caller relies on.
#include "app/main_check.h"
#include "fuzz_require.h"
#include "fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Text text = FuzzText(data, size);
  const std::int32_t number = General::VersionNumber(text);
  FUZZ_REQUIRE(General::VersionNumber(u"   " + text + u" ") == number);
  if (number != 0) {
    const Text trimmed = TrimBlanks(text);
    FUZZ_REQUIRE(trimmed.size() >= 12 && trimmed[0] == u'v');
    FUZZ_REQUIRE(trimmed.find(u' ') != Text::npos);
  }

  // The text up to its first NUL is the text, the rest the set.
  const auto nul = text.find(u'\0');
  const Text part = text.substr(0, nul);
  const Text set = nul == Text::npos ? Text() : text.substr(nul + 1);
  const Text kept = General::RemoveChars(part, set);
  std::size_t inSet = 0;
  for (const char16_t c : part) inSet += set.find(c) != Text::npos;
  FUZZ_REQUIRE(kept.size() + inSet == part.size());
  for (const char16_t c : kept) FUZZ_REQUIRE(set.find(c) == Text::npos);
  FUZZ_REQUIRE(General::RemoveChars(part, Text()) == part);
  return 0;
}
