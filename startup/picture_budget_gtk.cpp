#include "startup/picture_budget.h"

#include "sequence/picture_supply.h"

std::size_t PlatformPictureBudget() { return kPictureMemoryBudget; }
