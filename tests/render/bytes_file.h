#pragma once
// A picture file held in memory, for the readers' tests and fuzz targets.
#include "render/picture_file.h"

using BytesFile = MemoryPictureFile;
