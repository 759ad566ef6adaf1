#include "base/errors.h"
#include "app/main_check.h"

namespace keldo {

namespace {

const Text kReadableMarker = u"Expired=";
const Text kExpiryMarker = u" expires:";

}  // namespace

void MainCheck::CheckSupportOnWeb() {
  FormFields fields;
  fields.AppendField(u"serialnbr", SerialNbr);
  fields.AppendField(u"company", CompanyName);
  WebExpiry.clear();

  const auto client = ports_.web.NewWebClient();
  const auto reply = client->SubmitForm(website_ + u"/support/wendle.php", fields);
  for (const Text& note : client->RouteNotes()) DebugMsg(note);
  if (client->LastCallOK() == 0) return;
  if (!reply) throw RunTimeError(0, "The web component returned no reply");

  const Text& answer = reply->ReplyText();
  if (InStr(answer, kReadableMarker) == 0) {
    ports_.view.ShowMessage(u"Could not read from website", MessageKind::Message);
    ports_.view.SetScreenMousePointer(kPointerDefault);
    return;
  }
  ports_.view.SetScreenMousePointer(kPointerDefault);
  const std::int32_t at = InStr(answer, kExpiryMarker);
  if (at > 1) {
    WebExpiry = answer.substr(static_cast<std::size_t>(at - 1) + kExpiryMarker.size());
  }
}

}  // namespace keldo
