// ReadFirstLine over a file whose bytes arrive in the splits the fuzzer
// picks, compared with the line format read off the whole content at once.
// Input: two chunk sizes, two repeat factors, then the bytes to repeat, so
// that lines around the 64 KiB bound are reached from short inputs.
#include <algorithm>

#include "base/errors.h"
#include "base/first_line.h"
#include "fuzz_require.h"
#include "support/fake_local.h"

// The entry point is libFuzzer's and stays outside the project namespace.
using namespace keldo;

namespace {

constexpr std::size_t kMaxFileBytes = kMaxFirstLineBytes + 4096;
constexpr const char16_t* kPath = u"D:\\Keldo6\\LATEST_PROGS\\keldo63version.dat";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  FakeTextFiles files;
  files.chunks = {data[0], static_cast<std::size_t>(data[1]) * 61u};
  const std::string unit(reinterpret_cast<const char*>(data + 4), size - 4);
  const std::size_t repeats = unit.empty() ? 0 : 1u + data[2] + data[3] * 256u;
  std::string content;
  for (std::size_t i = 0; i < repeats && content.size() < kMaxFileBytes; ++i) content += unit;
  files.contents[kPath] = content;

  const std::size_t lineEnd = std::min(content.find('\r'), content.size());
  const bool mustFail = content.empty() || lineEnd > kMaxFirstLineBytes;
  try {
    const Text line = ReadFirstLine(files, kPath);
    FUZZ_REQUIRE(!mustFail);
    FUZZ_REQUIRE(line == FromWindows1252(content.substr(0, lineEnd)));
  } catch (const RunTimeError&) {
    FUZZ_REQUIRE(mustFail);
  }
  // Opened once and closed again.
  FUZZ_REQUIRE(files.opens == 1 && files.openHandles == 0);
  return 0;
}
