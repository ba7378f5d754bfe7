#pragma once
// Whether a Windows metafile holds what its header promises: a sound header,
// a file as long as the header says, records that each lie inside it and
// within the largest record it declares, and the end record. Metafile players trust these sizes and allocate by them (a
// damaged size word made one ask for gigabytes), so a metafile is played
// only when they are sound. Reads the file once, a block at a time.
#include <cstdint>
#include <memory>

#include "decode/picture_file.h"

// Metafiles are drawings: ones larger than this are not taken.
constexpr std::uint64_t kMaxMetafileBytes = 32u << 20;

bool MetafileRecordsAreSound(PictureFile& file);

// The metafile's bytes, up to the length its header declares, read once and
// found sound, so that what is played is what was checked; null otherwise.
std::unique_ptr<MemoryPictureFile> ReadSoundMetafile(PictureFile& file);
