#include "platform/linux/text/name_fold.h"

namespace keldo {

namespace {

char16_t FoldChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);  // Latin-1
  if (c >= 0x100 && c <= 0x137 && c % 2 == 0) return static_cast<char16_t>(c + 1);
  if (c >= 0x139 && c <= 0x148 && c % 2 == 1) return static_cast<char16_t>(c + 1);
  if (c >= 0x14A && c <= 0x177 && c % 2 == 0) return static_cast<char16_t>(c + 1);
  if (c == 0x178) return 0xFF;
  if (c >= 0x179 && c <= 0x17E && c % 2 == 1) return static_cast<char16_t>(c + 1);
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 0x20);  // Greek
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);                // Cyrillic
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
  return c;
}

}  // namespace

Text FoldName(TextView name) {
  Text folded(name);
  FoldNameInPlace(folded);
  return folded;
}

void FoldNameInPlace(Text& name) {
  for (char16_t& c : name) c = FoldChar(c);
}

}  // namespace keldo
