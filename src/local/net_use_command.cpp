#include "local/net_use_command.h"

bool IsSafeRemotePath(const Text& remotePath) {
  for (const char16_t c : remotePath) {
    if (c == u'"' || c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

Text NetUseCommandLine(const Text& letter, const Text& remotePath) {
  Text line = u"net use " + letter + u": ";
  if (remotePath.find(u' ') != Text::npos) {
    line += u'"' + remotePath + u'"';
  } else {
    line += remotePath;
  }
  return line;
}
