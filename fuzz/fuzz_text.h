#pragma once
// The fuzzer's bytes as a text. An even first byte: the rest is UTF-8, so
// seeds stay readable; an odd one: the rest is raw UTF-16LE code units, so
// lone surrogates and every other unit are reached too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/text.h"

namespace keldo {

inline Text FuzzText(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return Text();
  if (data[0] % 2 == 0) {
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  }
  Text text;
  for (std::size_t i = 1; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  return text;
}

}  // namespace keldo
