#pragma once
// What Windows gives for a character without a form in a single-byte ANSI
// code page: a look-alike ("best fit"), or the byte the page leaves
// undefined for a character of the same value. Drawn from Wine's tables by
// tools/best-fit/generate.py.
#include <span>

namespace keldo {

struct BestFit {
  char16_t from;
  unsigned char to;
};

// Sorted by `from`; empty for a code page without a table here (the
// double-byte pages).
std::span<const BestFit> BestFitTable(unsigned codePage);

}  // namespace keldo
