#pragma once
#include <sys/stat.h>

#include <cstddef>
#include <optional>
#include <string>

// A regular file's whole content, read only when it is no larger than
// `maxBytes`; nothing for a missing, unreadable, special or larger file.
// `identity`, when given, receives the file's stat as it was read.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         struct stat* identity = nullptr);
