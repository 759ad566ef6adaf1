#pragma once
// The prefix's ANSI code page, as Wine records it in system.reg at each
// start from the locale it was started in, and the conversions of the ANSI
// calls through it.
#include <string>
#include <string_view>

#include "base/text.h"
#include "platform/linux/registry/reg_file.h"
#include "platform/linux/unique_iconv.h"

namespace keldo {

// Where Wine records the code pages; key names compare case-insensitively.
inline constexpr char16_t kCodePageKey[] = u"System\\CurrentControlSet\\Control\\Nls\\Codepage";

class AnsiCodePage {
 public:
  explicit AnsiCodePage(RegFile& systemReg);

  // The code page in use: the prefix's "ACP" when it is one of Windows'
  // ANSI code pages, else 1252.
  unsigned Number();
  // ANSI bytes to wide text. A byte the code page does not define stands
  // for the character of the same value, as Windows' single-byte tables
  // give it. Throws RunTimeError when no conversion can be made at all.
  Text ToText(std::string_view bytes);
  // Wide text to ANSI bytes as the ANSI registry calls hand them out: a
  // character without a form becomes Windows' best fit in a single-byte
  // page, else '?', one per UTF-16 unit.
  std::string FromText(TextView text);

 private:
  void Select();

  RegFile& systemReg_;
  bool selected_ = false;
  Text recorded_;  // the "ACP" text the conversions were chosen for
  unsigned number_ = 0;
  UniqueIconv toText_;
  UniqueIconv fromText_;
};

}  // namespace keldo
