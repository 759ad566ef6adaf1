#pragma once
#include "base/text.h"

namespace keldo {

// Folds a registry or file name for case-insensitive comparison, as Windows
// and Wine compare them. Covers the Latin, Greek and Cyrillic letters that
// product installations use; other characters compare exactly.
Text FoldName(TextView name);
// The same in place, for callers that fold many names into one buffer.
void FoldNameInPlace(Text& name);

}  // namespace keldo
