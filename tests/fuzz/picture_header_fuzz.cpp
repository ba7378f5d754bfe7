// libFuzzer target for the picture header reader: any bytes must give a
// known outcome without reading past what the file has, and a recognised
// header must describe what the budget check can judge. The commands are in
// tests/fuzz/CMakeLists.txt.
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>

#include "render/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const PictureHeader header = ReadPictureHeader([&](std::uint64_t offset, void* buffer, std::size_t length) {
    if (offset >= size) return std::size_t{0};
    const std::size_t n = std::min<std::size_t>(length, size - static_cast<std::size_t>(offset));
    std::memcpy(buffer, data + offset, n);
    return n;
  });
  const bool raster = header.kind == PictureKind::Raster;
  if (raster && (header.width <= 0 || header.height <= 0)) std::abort();
  if (header.kind == PictureKind::Unknown && (header.width != 0 || header.height != 0)) std::abort();
  if (header.width < 0 || header.height < 0) std::abort();
  FitsPictureBudget(header);
  return 0;
}
