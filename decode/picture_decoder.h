#pragma once
// Decoding a picture to the size it is drawn at. JPEG through libjpeg-turbo
// with DCT scaling (a 24-megapixel photo drawn on a 1080p screen is decoded
// at half its size), PNG, GIF and BMP reduced while they are read, metafiles
// played at that size. Memory stays within the decode budget whatever a
// header claims. Safe on any thread.
#include <cstddef>

#include "decode/picture_file.h"
#include "decode/picture_header.h"
#include "decode/pixels.h"

// The memory decoding this picture to the target takes, counted from its
// header: every buffer the decoder and its library allocate (rows, tables,
// what it holds of the whole picture, the output). More than
// kDecodeBudgetBytes when the picture cannot be decoded within it.
std::size_t DecodeWorkingBytes(const PictureHeader& header, int target_width, int target_height);

// Decodes the picture the header describes, reduces it to target_width x
// target_height where it is larger (never enlarged: drawing does that) and
// turns it upright (the target is the upright size). Empty when the file
// cannot be decoded, no longer says what the header says, or does not fit
// the budget.
Pixels DecodePicture(PictureFile& file, const PictureHeader& header, int target_width, int target_height);
