#include "web/support_query.h"

#include "base/errors.h"
#include "base/form_fields.h"
#include "base/website_paths.h"

namespace keldo {

namespace {

// Views, not texts: nothing of the program allocates before main.
constexpr TextView kReadableMarker = u"Expired=";
constexpr TextView kExpiryMarker = u" expires:";

}  // namespace

SupportOnWeb CheckSupportOnWeb(WebComponent& web, const Text& website, const Text& serialNbr,
                               const Text& companyName, DebugSink& debug) {
  FormFields fields;
  fields.AppendField(u"serialnbr", serialNbr);
  fields.AppendField(u"company", companyName);

  const auto client = web.NewWebClient();
  const auto reply = client->SubmitForm(website + kSupportCheckPath, fields);
  for (const Text& note : client->RouteNotes()) debug.DebugMsg(note);
  SupportOnWeb answer;
  if (client->LastCallOK() == 0) return answer;
  if (!reply) throw RunTimeError(0, "The web component returned no reply");

  const Text& text = reply->ReplyText();
  if (InStr(text, kReadableMarker) == 0) {
    answer.reading = SupportReading::Unreadable;
    return answer;
  }
  answer.reading = SupportReading::Read;
  const std::int32_t at = InStr(text, kExpiryMarker);
  if (at > 1) {
    answer.webExpiry = text.substr(static_cast<std::size_t>(at - 1) + kExpiryMarker.size());
  }
  return answer;
}

}  // namespace keldo
