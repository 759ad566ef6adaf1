#pragma once
// The version the vendor's website offers.
#include "base/clock.h"
#include "base/debug_sink.h"
#include "base/text.h"
#include "base/text_files.h"
#include "base/web_component.h"

namespace keldo {

// Downloads `versionFile` from `downloadURL` into "temp_vers.dat" in the
// latest-programs folder, returns its first line and deletes it again.
// "error" on any failure; a failed download leaves the folder as it was.
Text GetWebVersion(WebComponent& web, TextFiles& files, Clock& clock, const Text& downloadURL,
                   const Text& versionFile, const Text& latestProgsFolder, DebugSink& debug);

}  // namespace keldo
