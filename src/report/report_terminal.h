#pragma once
// What the report's process needs to know of its terminal.
#include <cstddef>

namespace keldo {

// Whether standard error is a terminal (a console on Windows) rather than
// a pipe or a file: only a terminal gets the status line.
bool StandardErrorIsTerminal();

// The width of the terminal on standard error in columns, 0 when unknown.
std::size_t StandardErrorColumns();

// A reader that goes away (a closed pipe or terminal) must end the report
// with its failure status, not with a signal: writes then fail with EPIPE
// and the report sees the failed stream.
void IgnoreBrokenPipeSignal();

}  // namespace keldo
