#pragma once
// The formats the program shows, each named once: how its files begin, the
// names it is listed under, its header reader, what decoding it takes and its
// decoder. The catalogue's extension check, the header reader, the decode
// budget and the decoders all read this table; a new format is one more row.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "decode/picture_file.h"
#include "decode/picture_header.h"
#include "decode/pixels.h"

struct PictureFormatEntry {
  PictureFormat format;
  std::string_view name;
  // Lower-case, with the dot; empty ones end the list.
  std::array<std::string_view, 4> extensions;
  // True when a file beginning with these bytes (its first 64 or fewer) is
  // of this format: the bytes decide, never the name.
  bool (*signature)(const std::uint8_t* first, std::size_t size);
  // The header of a file whose signature matched: Unknown when damaged.
  PictureHeader (*read_header)(const ReadAt& read, const std::uint8_t* first, std::size_t size);
  // The same header, and the day the photo was taken from the file's EXIF
  // block (year 0 when it does not say), read in the same walk: a JPEG's
  // EXIF block is read for its orientation anyway, and a HEIF file's item
  // list for its size. Null for the formats that keep no EXIF.
  PictureHeader (*read_dated_header)(const ReadAt& read, const std::uint8_t* first, std::size_t size,
                                     CalendarDate& taken);
  // What decoding to at most target_width x target_height (stored
  // orientation) allocates, counted from the header: every buffer the
  // decoder and its library take. More than kDecodeBudgetBytes when the
  // picture cannot be decoded within it.
  std::size_t (*working_bytes)(const PictureHeader& header, int target_width, int target_height);
  // The picture reduced to at most the target, as stored (not turned).
  Pixels (*decode)(PictureFile& file, const PictureHeader& header, int target_width, int target_height);
};

std::span<const PictureFormatEntry> PictureFormats();
// Null for PictureFormat::Unknown.
const PictureFormatEntry* FindPictureFormat(PictureFormat format);

// True when the name ends in one of the formats' extensions, in any case
// (only ASCII letters are folded: bytes of a UTF-8 name never fold into an
// ASCII extension).
bool HasPictureExtension(std::string_view name);
