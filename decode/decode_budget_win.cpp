#include "decode/picture_header.h"

// Under Wine the saver weighs about 120 MB on a 4K screen with nothing kept,
// and its two readers 25 MB, far more than on Linux: with decodes counted at
// 160 MB at most (what they take is less) the whole stays under 300 MB
// (docs/memory.md). On a 4K screen that leaves out 24-megapixel HEIF photos
// and 50-megapixel progressive JPEGs, which smaller screens still show.
extern const std::size_t kDecodeBudgetBytes = 160u << 20;
