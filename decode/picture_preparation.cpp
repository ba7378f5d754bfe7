#include "decode/picture_preparation.h"

#include <algorithm>
#include <cmath>

#include "decode/exif_orientation.h"
#include "decode/metafile_player.h"
#include "decode/metafile_records.h"
#include "decode/picture_decoder.h"

namespace {

// The placement's part inside the box, in the picture's pixels; the
// placement becomes that part's rectangle.
Pixels KeepPartInBox(Pixels pixels, PicturePlacement& at, int area_width, int area_height) {
  if (pixels.empty()) return pixels;
  const int sw = pixels.width(), sh = pixels.height();
  const double sx = sw / static_cast<double>(at.width), sy = sh / static_cast<double>(at.height);
  const double left = std::max<double>(at.x, 0), top = std::max<double>(at.y, 0);
  const double right = std::min<double>(at.x + static_cast<double>(at.width), area_width);
  const double bottom = std::min<double>(at.y + static_cast<double>(at.height), area_height);
  if (right <= left || bottom <= top) return pixels;
  const int x0 = static_cast<int>(std::floor((left - at.x) * sx)), y0 = static_cast<int>(std::floor((top - at.y) * sy));
  const int x1 = std::min(sw, static_cast<int>(std::ceil((right - at.x) * sx)));
  const int y1 = std::min(sh, static_cast<int>(std::ceil((bottom - at.y) * sy)));
  if (x0 <= 0 && y0 <= 0 && x1 >= sw && y1 >= sh) return pixels;  // all of it shows
  at.x = static_cast<float>(at.x + x0 / sx);
  at.y = static_cast<float>(at.y + y0 / sy);
  at.width = static_cast<float>((x1 - x0) / sx);
  at.height = static_cast<float>((y1 - y0) / sy);
  return CutOut(std::move(pixels), x0, y0, x1, y1);
}

}  // namespace

PictureSizing SizePicture(PictureFile& file, const PictureRequest& request) {
  PictureSizing sizing;
  sizing.header = ReadPictureHeader(
      [&file](std::uint64_t offset, void* buffer, std::size_t size) { return file.ReadAt(offset, buffer, size); },
      &sizing.taken);
  const PictureHeader& header = sizing.header;
  if (header.kind == PictureKind::Unknown) return sizing;
  sizing.width = static_cast<float>(UprightWidth(header));
  sizing.height = static_cast<float>(UprightHeight(header));
  if (header.kind == PictureKind::Metafile) {
    sizing.metafile = ReadSoundMetafile(file);
    const auto size =
        sizing.metafile ? MetafileSize(sizing.metafile->bytes(), sizing.width, sizing.height) : std::nullopt;
    if (!size) return sizing;  // it cannot be laid out
    sizing.width = size->first, sizing.height = size->second;
  }
  if (!(sizing.width > 0 && sizing.height > 0)) return sizing;
  sizing.placement = PlacePicture(sizing.width, sizing.height, static_cast<float>(request.area_width),
                                  static_cast<float>(request.area_height), request.mode, request.preview_scale);
  const PicturePlacement& at = sizing.placement;
  if (!at.draw || !(at.width >= 0.5f && at.height >= 0.5f)) {
    sizing.placement.draw = false;
    return sizing;
  }
  const float magnified = request.motion ? static_cast<float>(1 + kMotionGrowth) : 1.0f;
  sizing.target_width = DrawnPixels(at.width * magnified), sizing.target_height = DrawnPixels(at.height * magnified);
  sizing.working_bytes = DecodeWorkingBytes(header, sizing.target_width, sizing.target_height);
  return sizing;
}

PreparedPixels DecodeSized(PictureFile& file, const PictureSizing& sizing, const PictureRequest& request) {
  PreparedPixels prepared{sizing.width, sizing.height, sizing.placement, {}, sizing.taken};
  if (!sizing.Decodable()) return prepared;
  PictureFile& source = sizing.metafile ? *sizing.metafile : file;
  prepared.pixels = KeepPartInBox(DecodePicture(source, sizing.header, sizing.target_width, sizing.target_height),
                                  prepared.placement, request.area_width, request.area_height);
  return prepared;
}
