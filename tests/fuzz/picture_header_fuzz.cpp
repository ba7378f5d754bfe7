// libFuzzer target for the picture header readers, the BMP row reader and
// the metafile check: any bytes must give a known outcome (the day taken
// included) without reading past what the file has, and a recognised header
// must describe what the budget check can judge. The commands are in
// tests/fuzz/CMakeLists.txt.
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>

#include <string>
#include <vector>

#include "decode/bmp_rows.h"
#include "decode/exif_orientation.h"
#include "decode/metafile_records.h"
#include "decode/picture_header.h"
#include "decode/bytes_file.h"

namespace {

// With the day taken, which must be none or a real day.
PictureHeader Read(const std::uint8_t* data, std::size_t size) {
  CalendarDate taken;
  const PictureHeader header = ReadPictureHeader(
      [&](std::uint64_t offset, void* buffer, std::size_t length) {
        if (offset >= size) return std::size_t{0};
        const std::size_t n = std::min<std::size_t>(length, size - static_cast<std::size_t>(offset));
        std::memcpy(buffer, data + offset, n);
        return n;
      },
      &taken);
  if (taken.year && (taken.month < 1 || taken.month > 12 || taken.day < 1 || taken.day > 31)) std::abort();
  return header;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input as an EXIF block of a JPEG, so the orientation parser sees every input.
  const int orientation = ReadExifOrientation(data, size);
  if (orientation < 1 || orientation > 8) std::abort();
  ReadExifDateTaken(data, size);
  if (size <= 60000) {
    const std::size_t length = size + 8;
    std::string jpeg = "\xFF\xD8\xFF\xE1";
    jpeg += static_cast<char>(length >> 8);
    jpeg += static_cast<char>(length & 0xFF);
    jpeg += std::string("Exif\0\0", 6) + std::string(reinterpret_cast<const char*>(data), size);
    jpeg += std::string("\xFF\xC0\0\x0B\x08\0\x10\0\x10\x01\x01\x11\0", 13);
    const PictureHeader wrapped = Read(reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size());
    if (wrapped.orientation < 1 || wrapped.orientation > 8) std::abort();
  }
  const PictureHeader header = Read(data, size);
  const bool raster = header.kind == PictureKind::Raster;
  if (raster && (header.width <= 0 || header.height <= 0)) std::abort();
  if (header.kind == PictureKind::Unknown && (header.width != 0 || header.height != 0)) std::abort();
  if (header.width < 0 || header.height < 0 || header.orientation < 1 || header.orientation > 8) std::abort();
  FitsPictureBudget(header);
  BytesFile file(std::string(reinterpret_cast<const char*>(data), size));
  if (header.format == PictureFormat::Wmf) MetafileRecordsAreSound(file);
  // Small pictures only, so each input stays quick.
  if (header.format == PictureFormat::Bmp && header.width * header.height <= (1 << 20)) {
    BmpRowReader bmp(file);
    if (bmp.ok()) {
      if (bmp.width() != header.width || bmp.height() != header.height) std::abort();
      std::vector<std::uint32_t> row(static_cast<std::size_t>(bmp.width()));
      for (int y = 0; y < bmp.height(); ++y) bmp.NextRow(row.data());
    }
  }
  return 0;
}
