#include "decode/picture_header.h"

// A full decode of the largest picture the pixel budget allows.
extern const std::size_t kDecodeBudgetBytes = kPictureBudgetPixels * 4;
