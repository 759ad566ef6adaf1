#pragma once
#include "app/text.h"

// Whether a remembered remote path may be handed to a re-mapping command:
// a double quote or a control character could change what the command
// does, so such a path is passed over.
bool IsSafeRemotePath(const Text& remotePath);

// "net use F: \\server\share". A path holding a blank is put in double
// quotes so that the blank cannot split it into two arguments.
Text NetUseCommandLine(const Text& letter, const Text& remotePath);
