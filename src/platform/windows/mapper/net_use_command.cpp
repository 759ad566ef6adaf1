#include "platform/windows/mapper/net_use_command.h"

namespace keldo {

Text QuotedArgument(const Text& argument) {
  if (!argument.empty() && argument.find_first_of(u" \t\"") == Text::npos) return argument;
  // Backslashes are literal except in a run that ends at a double quote:
  // there each pair stands for one backslash and an odd one escapes the
  // quote. So a run before our closing quote, or before a quote of the
  // argument itself, is doubled, and such a quote gets one more.
  Text quoted = u"\"";
  std::size_t backslashes = 0;
  for (const char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    if (c == u'"') {
      quoted.append(backslashes * 2 + 1, u'\\');
    } else {
      quoted.append(backslashes, u'\\');
    }
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, u'\\');
  quoted.push_back(u'"');
  return quoted;
}

Text NetUseCommandLine(const Text& letter, const Text& remotePath) {
  return u"net use " + letter + u": " + QuotedArgument(remotePath);
}

}  // namespace keldo
