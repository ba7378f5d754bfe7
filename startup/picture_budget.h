#pragma once
// How much memory the prepared pictures and the decode under way may share
// on this platform: what the 300 MB bound leaves once the program, its
// frame buffers and its two readers are counted (docs/memory.md).
#include <cstddef>

std::size_t PlatformPictureBudget();
