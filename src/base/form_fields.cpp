#include "base/form_fields.h"

namespace keldo {

namespace {

void AppendEncoded(std::string& out, const Text& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : ToUtf8(text)) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '*' ||
        b == '-' || b == '.' || b == '_') {
      out.push_back(c);
    } else if (b == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0xF]);
    }
  }
}

}  // namespace

std::string EncodeForm(const FormFields& fields) {
  std::string body;
  for (const auto& [name, value] : fields.Fields()) {
    if (!body.empty()) body.push_back('&');
    AppendEncoded(body, name);
    body.push_back('=');
    AppendEncoded(body, value);
  }
  return body;
}

}  // namespace keldo
