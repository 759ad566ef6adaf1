#pragma once
// The findings as text a person can read and pass on: what the console
// report prints and what the window copies to the clipboard, from one rule.
#include "base/main_view.h"
#include "base/text.h"

namespace keldo {

// One text on one line, with nothing a terminal or a reader could mistake:
// carriage return, line feed and tab as \r, \n and \t, other C0 and C1
// controls and DEL as \xNN, and a backslash doubled so that an escape can
// always be told from the text. A lone surrogate, which no encoding can
// carry, becomes U+FFFD; everything else stays as it is.
Text EscapedLine(TextView text);

// A caption as its label shows it: each line break inside it (CR LF, CR or
// LF) starts a new line indented by two blanks, line breaks at its end show
// nothing, and each line is escaped as EscapedLine. Lines end in `lineEnd`.
Text CaptionText(TextView caption, TextView lineEnd);

// The findings' captions (kResultLabelsTopDown), top to bottom as the window
// shows them.
Text FindingsText(const MainView& view, TextView lineEnd);

}  // namespace keldo
