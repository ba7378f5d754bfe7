// libFuzzer target for the picture decoders (JPEG, PNG, GIF, BMP, WebP, HEIF, AVIF)
// through an in-memory file: any bytes give a picture no larger than the
// target, or none. The target is the picture's own size, halved zero to
// three times by the input's length, and at most a 2048 x 2048 screen.
// Metafiles are left out: the platform's player plays them. The commands
// are in tests/fuzz/CMakeLists.txt.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "decode/bytes_file.h"
#include "decode/metafile_player_gtk.h"
#include "decode/picture_decoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RestrictPixbufLoaders();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  BytesFile file(std::string(reinterpret_cast<const char*>(data), size));
  const PictureHeader header = ReadPictureHeader(
      [&](std::uint64_t offset, void* buffer, std::size_t length) { return file.ReadAt(offset, buffer, length); });
  if (header.kind != PictureKind::Raster) return 0;
  auto target = [&](std::int64_t side) {
    return static_cast<int>(std::clamp<std::int64_t>(side >> size % 4, 1, 2048));
  };
  const int width = target(UprightWidth(header)), height = target(UprightHeight(header));
  const Pixels pixels = DecodePicture(file, header, width, height);
  if (!pixels.empty() && (pixels.width() > width || pixels.height() > height)) std::abort();
  return 0;
}
