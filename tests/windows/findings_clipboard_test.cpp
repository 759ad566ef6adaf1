// The window's findings as the clipboard gets them (the Wine suite copies
// them from the running window; this is the whole text, date included).
#include <gtest/gtest.h>

#include "base/program_version.h"
#include "support/fake_view.h"
#include "window/findings_clipboard.h"

namespace keldo {

namespace {

TEST(FindingsClipboard, TheProgramTheFindingsAsShownThenTheDateAndTime) {
  FakeView view;
  view.SetCaption(Control::lblSerial, u"Serial Number:  12\x1b[2J");
  view.SetCaption(Control::lblWebsiteExpires,
                  u"Website show your support expires:  31/12/2027\r\n");
  view.SetCaption(Control::lblServerVersion, u"Version in Latest Progs folder: a\r\nb\rc");
  SYSTEMTIME at{};
  at.wYear = 2026;
  at.wMonth = 3;
  at.wDay = 7;
  at.wHour = 9;
  at.wMinute = 5;
  at.wSecond = 4;
  const std::string program = "Check Keldo Support " KELDO_PROGRAM_VERSION "\r\n";
  EXPECT_EQ(ToUtf8(CopiedFindings(view, at)),
            program +
                "Serial Number:  12\\x1B[2J\r\n"
                "Version in Latest Progs folder: a\r\n  b\r\n  c\r\n"
                "Version on website: \r\n"
                "Version on this PC: \r\n"
                "Single or MultiUser: \r\n"
                "PC shows support expires: \r\n"
                "Website show your support expires:  31/12/2027\r\n"
                "Auto Update:  \r\n"
                "Keldo Database on Drive:\r\n"
                "2026-03-07 09:05:04\r\n");
}

}  // namespace

}  // namespace keldo
