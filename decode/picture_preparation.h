#pragma once
// A picture prepared for one box, in two steps so that memory can be made
// for it in between: sizing reads the header and lays the picture out (what
// to decode it to, and what that costs), decoding then reduces, turns and
// cuts it to the part the box shows. Both steps read the same open file.
#include <cstddef>
#include <memory>
#include <string>

#include "decode/picture_file.h"
#include "decode/picture_header.h"
#include "decode/picture_layout.h"
#include "decode/pixels.h"
#include "settings/saver_settings.h"

// The most a picture is magnified under motion: it is decoded that much
// larger than its place in the box.
inline constexpr double kMotionGrowth = 0.10;

// One picture laid out for one box.
struct PictureRequest {
  std::string path;
  int area_width = 0, area_height = 0;  // the box's size in pixels
  ScaleMode mode = ScaleMode::Fit;
  bool preview_scale = false;
  bool soft_backdrop = false;  // a blurred copy of the picture behind it where it leaves the box bare
  bool motion = false;         // panned and zoomed: decoded larger, for the most it is magnified

  bool operator==(const PictureRequest&) const = default;
};

struct PictureSizing {
  PictureHeader header;
  CalendarDate taken;           // the day the photo was taken, when its file says
  float width = 0, height = 0;  // the picture's own size, upright; 0 x 0 when unknown
  PicturePlacement placement;   // in the box; draw = false: nothing to decode
  int target_width = 0, target_height = 0;
  std::size_t working_bytes = 0;  // what decoding it takes
  // A metafile's checked bytes, which the decode plays.
  std::unique_ptr<MemoryPictureFile> metafile;

  bool Decodable() const { return placement.draw && working_bytes <= kDecodeBudgetBytes; }
};

PictureSizing SizePicture(PictureFile& file, const PictureRequest& request);

struct PreparedPixels {
  float width = 0, height = 0;  // the picture's own size, as sized
  PicturePlacement placement;   // of the pixels, in the box
  Pixels pixels;                // empty: nothing to draw
  CalendarDate taken;           // the day the photo was taken, when its file says
};

// Decodes a picture that SizePicture found decodable, and keeps only its part
// inside the box (a panorama covering the box takes no more than the box).
PreparedPixels DecodeSized(PictureFile& file, const PictureSizing& sizing, const PictureRequest& request);
