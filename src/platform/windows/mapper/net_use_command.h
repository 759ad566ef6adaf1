#pragma once
#include "base/text.h"

namespace keldo {

// One argument of a Windows command line, as the C runtime and
// CommandLineToArgvW will split it out again: unchanged when it holds no
// blank, tab or double quote, otherwise in double quotes with the
// backslashes that would stand before a quote doubled.
Text QuotedArgument(const Text& argument);

// "net use F: \\server\share". A path holding a blank, a tab or a double
// quote is quoted so that it stays one argument, and it arrives exactly as
// it was remembered, a trailing backslash or a quote included.
Text NetUseCommandLine(const Text& letter, const Text& remotePath);

}  // namespace keldo
