#pragma once
// The support expiry the vendor's website holds for a serial number.
#include <cstdint>

#include "base/debug_sink.h"
#include "base/text.h"
#include "base/web_component.h"

namespace keldo {

// How the website's answer to the support query could be read.
enum class SupportReading : std::uint8_t {
  NoAnswer,    // the post got no complete answer
  Unreadable,  // an answer without the "Expired=" marker
  Read,        // an answer with it
};

struct SupportOnWeb {
  SupportReading reading = SupportReading::NoAnswer;
  // What follows the first " expires:" of a readable answer; empty when
  // there is none, or nothing follows it.
  Text webExpiry;
};

// Posts the serial number and the company name to the website's support
// page and reads the answer. Throws RunTimeError only for a fault of the
// web component itself.
SupportOnWeb CheckSupportOnWeb(WebComponent& web, const Text& website, const Text& serialNbr,
                               const Text& companyName, DebugSink& debug);

}  // namespace keldo
