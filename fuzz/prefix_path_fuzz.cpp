// Windows paths turned into paths under a small prefix: whatever the text,
// the result stays below the drive's own link, never names "." or "..",
// and ignores letter case as Wine does.
#include <sys/stat.h>

#include "fuzz_require.h"
#include "fuzz_text.h"
#include "platform/linux/prefix/wine_paths.h"
#include "platform/linux/text/name_fold.h"
#include "support/sample_installation.h"

// The entry point is libFuzzer's and stays outside the project namespace.
using namespace keldo;

namespace {

// The sample installation on D:, and beside it a device entry, a dead link
// and names outside ASCII.
void LayOut(const TempPrefix& prefix) {
  LayOutSampleInstallation(prefix);
  prefix.Link("d::", "/dev/null");
  prefix.Link("f:", "../no-such-share");
  prefix.Write("drive_c/windows/win.ini", "");
  prefix.Write(
      "drive_d/\xc3\x9c"
      "berweisung/\xd0\x9e\xd1\x82\xd1\x87\xd1\x91\xd1\x82.txt",
      "");
}

const TempPrefix& Prefix() {
  static const TempPrefix prefix;
  static const bool laidOut = (LayOut(prefix), true);
  (void)laidOut;
  return prefix;
}

bool Below(const std::string& path, const std::string& root) {
  return path.size() > root.size() && path.compare(0, root.size(), root) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string root = Prefix().Root() + "/dosdevices/";
  const WinePaths paths(Prefix().Prefix());
  const Text windowsPath = FuzzText(data, size);
  const auto located = paths.Locate(windowsPath);
  if (!located) return 0;

  FUZZ_REQUIRE(Below(located->existing, root));
  const std::string inside = located->existing.substr(root.size());
  FUZZ_REQUIRE(inside.size() >= 2 && inside[1] == ':' && (inside.size() == 2 || inside[2] == '/'));
  FUZZ_REQUIRE((inside + "/").find("/./") == std::string::npos);
  FUZZ_REQUIRE((inside + "/").find("/../") == std::string::npos);
  for (const auto& name : located->missing) {
    FUZZ_REQUIRE(!name.empty() && name.find('/') == std::string::npos && name != "." &&
                 name != "..");
  }
  if (located->Complete()) {
    struct stat st {};
    FUZZ_REQUIRE(::lstat(located->existing.c_str(), &st) == 0);
    FUZZ_REQUIRE(paths.Resolve(windowsPath) == located->existing);
  }

  const auto folded = paths.Locate(FoldName(windowsPath));
  FUZZ_REQUIRE(folded && folded->existing == located->existing &&
               folded->missing.size() == located->missing.size());
  return 0;
}
