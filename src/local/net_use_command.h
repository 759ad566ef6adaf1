#pragma once
#include "base/text.h"

namespace keldo {

// Whether a remembered remote path may be handed to a re-mapping command:
// a double quote or a control character could change what the command
// does, so such a path is passed over.
bool IsSafeRemotePath(const Text& remotePath);

// One argument of a Windows command line, as the C runtime and
// CommandLineToArgvW will split it out again: unchanged when it holds no
// blank, tab or double quote, otherwise in double quotes with the
// backslashes that would stand before a quote doubled.
Text QuotedArgument(const Text& argument);

// "net use F: \\server\share". A path holding a blank is quoted so that the
// blank cannot split it into two arguments, and it arrives exactly as it
// was remembered, a trailing backslash included.
Text NetUseCommandLine(const Text& letter, const Text& remotePath);

}  // namespace keldo
