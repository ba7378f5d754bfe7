#pragma once
// Whether a Windows metafile holds what its header promises: a sound header,
// a file as long as the header says, records that each lie inside it and
// within the largest record it declares, and the end record. Metafile players trust these sizes and allocate by them (a
// damaged size word made one ask for gigabytes), so a metafile is played
// only when they are sound. Reads the file once, a block at a time.
#include "render/picture_file.h"

bool MetafileRecordsAreSound(PictureFile& file);
