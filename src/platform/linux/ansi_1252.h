#pragma once
#include <string>

#include "app/text.h"

// Wide text to Windows-1252 bytes, one byte per character. A character
// without a 1252 form becomes '?', as the ANSI registry calls return it.
std::string ToWindows1252(TextView text);
