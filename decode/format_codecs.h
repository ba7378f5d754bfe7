#pragma once
// Each format's signature, header readers, working memory and decoder, as
// the format table (decode/picture_formats.cpp) names them. Only the table
// and the formats' own files include this.
#include <cstddef>
#include <cstdint>

#include "decode/picture_file.h"
#include "decode/picture_header.h"
#include "decode/pixels.h"

#define GLIMMORA_FORMAT_CODEC(Name)                                                                  \
  bool Is##Name##Signature(const std::uint8_t* first, std::size_t size);                             \
  PictureHeader Read##Name##Header(const ReadAt& read, const std::uint8_t* first, std::size_t size); \
  std::size_t Name##WorkingBytes(const PictureHeader& header, int target_width, int target_height);  \
  Pixels Decode##Name(PictureFile& file, const PictureHeader& header, int target_width, int target_height);
GLIMMORA_FORMAT_CODEC(Jpeg)
GLIMMORA_FORMAT_CODEC(Png)
GLIMMORA_FORMAT_CODEC(Gif)
GLIMMORA_FORMAT_CODEC(Bmp)
GLIMMORA_FORMAT_CODEC(Wmf)
GLIMMORA_FORMAT_CODEC(Webp)
GLIMMORA_FORMAT_CODEC(Heif)
GLIMMORA_FORMAT_CODEC(Avif)
#undef GLIMMORA_FORMAT_CODEC

// The formats that keep an EXIF block: their header with the day taken.
#define GLIMMORA_DATED_HEADER(Name)                                                                      \
  PictureHeader Read##Name##DatedHeader(const ReadAt& read, const std::uint8_t* first, std::size_t size, \
                                        CalendarDate& taken);
GLIMMORA_DATED_HEADER(Jpeg)
GLIMMORA_DATED_HEADER(Webp)
GLIMMORA_DATED_HEADER(Heif)
GLIMMORA_DATED_HEADER(Avif)
#undef GLIMMORA_DATED_HEADER

// The largest EXIF block of a WebP, HEIF or AVIF file read for its day
// taken: a camera's, thumbnail and maker notes included, takes far less.
constexpr std::size_t kMaxExifBytes = 1u << 20;

// A picture past every budget: what working_bytes says of one it refuses.
constexpr std::size_t kTooMuchToDecode = static_cast<std::size_t>(-1);

// The part of a decode every raster format shares: its output at most the
// target (and a turned or cut copy of it) and, when the stored picture is
// larger, the reducer's tables.
std::size_t ReducedOutputBytes(const PictureHeader& header, int target_width, int target_height);
