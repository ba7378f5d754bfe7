#include "startup/picture_budget.h"

// On a 4K screen the program, its frame buffer and the two layers of a fade
// take about 125 MB, its readers 12: 160 MB keeps them under 300 MB
// together (docs/memory.md).
std::size_t PlatformPictureBudget() { return 160u << 20; }
