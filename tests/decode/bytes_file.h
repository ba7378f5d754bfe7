#pragma once
// A picture file held in memory, for the readers' tests and fuzz targets.
#include "decode/picture_file.h"

using BytesFile = MemoryPictureFile;
