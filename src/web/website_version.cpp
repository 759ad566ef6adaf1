#include "web/website_version.h"

#include <exception>

#include "base/failure_sentinel.h"
#include "base/first_line.h"
#include "web/time_stamp.h"

namespace keldo {

Text GetWebVersion(WebComponent& web, TextFiles& files, Clock& clock, const Text& downloadURL,
                   const Text& versionFile, const Text& latestProgsFolder, DebugSink& debug) {
  try {
    debug.DebugMsg(u"Checking website version");
    const Text tempFile = latestProgsFolder + u"temp_vers.dat";
    // The time stamp makes every second's address new, so no cache between
    // here and the website can answer with an old version file.
    const Text address = downloadURL + versionFile + u"?" + TimeStamp(clock.Now());
    const auto client = web.NewWebClient();
    const std::int32_t fetched = client->FetchToFile(address, tempFile);
    for (const Text& note : client->RouteNotes()) debug.DebugMsg(note);
    if (fetched != 1) {
      debug.DebugMsg(client->FailureText());
      return kFailureSentinel;
    }
    const Text line = ReadFirstLine(files, tempFile);
    files.RemoveFile(tempFile);
    return line;
  } catch (const std::exception& error) {
    // The downloaded file that could not be read or deleted stays where it
    // is until the next check's download replaces it; the diagnostic line
    // says which call failed (the platform's text names the file).
    debug.DebugMsg(FromUtf8(error.what()));
    return kFailureSentinel;
  }
}

}  // namespace keldo
