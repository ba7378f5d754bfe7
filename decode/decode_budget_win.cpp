#include "decode/picture_header.h"

// Under Wine the saver weighs about 120 MB on a 4K screen and its two
// readers 55 MB before any decode, far more than on Linux: decodes of at
// most 160 MB keep them together under 300 MB (docs/memory.md). On a 4K
// screen that leaves out 24-megapixel HEIF photos and 50-megapixel
// progressive JPEGs, which smaller screens still show.
extern const std::size_t kDecodeBudgetBytes = 160u << 20;
