#pragma once
// A picture's kind and size read from its file header alone, before any
// decoder sees the file. The bytes decide, not the name: only the formats the
// program shows (decode/picture_formats.h) are recognised, and nothing else
// ever reaches a decoder; nor does a header that claims more pixels than the
// budget, since a decoder may allocate the whole picture up front.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "decode/exif_orientation.h"

// The most pixels one picture may be decoded into: 200 MB at four bytes a
// pixel. A 48-megapixel camera picture still decodes in full.
constexpr std::int64_t kPictureBudgetPixels = 50'000'000;
// The most memory one decode may allocate of its own (row buffers, tables,
// the pictures it holds and makes): a picture that would take more is not
// decoded. Set by each platform (decode_budget_*.cpp).
extern const std::size_t kDecodeBudgetBytes;

enum class PictureKind {
  Unknown,   // none of the formats (or a damaged header)
  Raster,    // width x height pixels
  Metafile,  // WMF: drawn as vectors, no pixel buffer of its own size
};

enum class PictureFormat { Unknown, Jpeg, Png, Gif, Bmp, Wmf, Webp, Heif, Avif };
constexpr PictureFormat kLastPictureFormat = PictureFormat::Avif;

struct PictureHeader {
  PictureKind kind = PictureKind::Unknown;
  PictureFormat format = PictureFormat::Unknown;
  // Raster pictures: pixels. A placeable WMF: its bounding box in its own
  // logical units (0 x 0 for other metafiles).
  std::int64_t width = 0, height = 0;
  // What its decoder must hold of the whole picture before the first row
  // comes out: the coefficients of a progressive JPEG (or one whose colours
  // come in separate scans), an interlaced PNG at four bytes a pixel, the
  // colour indexes of a GIF or a run-length BMP at a byte a pixel, the whole
  // file and the alpha plane of a WebP, the whole file and the decoded
  // planes of a HEIF or AVIF picture. 0 when rows come one at a time.
  std::int64_t held_bytes = 0;
  // How to turn the stored pixels upright (as EXIF numbers them, 1 to 8): a
  // JPEG's EXIF block, a HEIF or AVIF picture's rotation and mirror; 1 otherwise.
  int orientation = 1;
  // A HEIF or AVIF picture coded 4:2:0 throughout: its decoder takes the
  // coded planes as they are and makes the colours itself.
  bool coded_420 = false;
};

// Reads up to size bytes at offset into buffer; returns how many it read.
using ReadAt = std::function<std::size_t(std::uint64_t offset, void* buffer, std::size_t size)>;

// taken, when given: the day the photo was taken as its EXIF block says
// (JPEG, WebP, HEIF and AVIF files keep one); year 0 when it does not say.
PictureHeader ReadPictureHeader(const ReadAt& read, CalendarDate* taken = nullptr);

// The picture's size once turned upright (width and height swapped for a
// quarter turn).
std::int64_t UprightWidth(const PictureHeader& header);
std::int64_t UprightHeight(const PictureHeader& header);

// True when the picture can be decoded in full within kPictureBudgetPixels.
bool FitsPictureBudget(const PictureHeader& header);
