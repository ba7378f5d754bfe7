#include "startup/picture_budget.h"

// Under Wine the program weighs about 95 MB on a 4K screen, its frame buffer
// and a fade's two layers 75 MB, each reader about 12 MB, and a picture on
// screen stays while the cache makes room: 64 MB keeps the saver and its
// readers under 300 MB (docs/memory.md).
std::size_t PlatformPictureBudget() { return 64u << 20; }
