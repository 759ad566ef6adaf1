#pragma once
#include <cstddef>

#include "base/text.h"
#include "base/text_files.h"

namespace keldo {

// The longest first line that is read; a longer one is a failed read, so a
// huge or endless file can never be pulled into memory.
inline constexpr std::size_t kMaxFirstLineBytes = 64 * 1024;

// Opens `path`, reads its first line and closes it again on every path.
// A line ends at a carriage return, which may be followed by a line feed; a
// lone line feed stays in the line. Bytes are in the ANSI code page.
// Throws RunTimeError when the file cannot be opened or read, is empty, or
// its first line is longer than kMaxFirstLineBytes.
Text ReadFirstLine(TextFiles& files, const Text& path);

}  // namespace keldo
