#include <exception>

#include "app/main_check.h"
#include "local/first_line.h"
#include "web/time_stamp.h"

namespace keldo {

Text MainCheck::GetWebVersion() {
  const Text failure = u"error";
  try {
    DebugMsg(u"Checking website version");
    const Text tempFile = LatestProgsFolder + u"temp_vers.dat";
    // The time stamp makes every second's address new, so no cache between
    // here and the website can answer with an old version file.
    const Text address = DownloadURL + VersionFile + u"?" + TimeStamp(ports_.clock.Now());
    const auto client = ports_.web.NewWebClient();
    const std::int32_t fetched = client->FetchToFile(address, tempFile);
    for (const Text& note : client->RouteNotes()) DebugMsg(note);
    if (fetched != 1) {
      DebugMsg(client->FailureText());
      return failure;
    }
    const Text line = ReadFirstLine(ports_.files, tempFile);
    ports_.files.RemoveFile(tempFile);
    return line;
  } catch (const std::exception&) {
    return failure;
  }
}

}  // namespace keldo
