#pragma once
// Where a picture goes in the drawing area: the four scale modes, pure
// arithmetic so it can be checked without drawing anything.
#include <string>

#include "settings/saver_settings.h"

struct PicturePlacement {
  bool draw = false;  // false when the picture has no size (undecodable) or the area none
  float x = 0, y = 0, width = 0, height = 0;
};

// width x height: the picture's own size; area_width x area_height: the
// drawing area. A scale mode outside the four fits the picture. preview_scale
// lays the picture out at one tenth of its size, so a small preview shows the
// proportions of the full screen. Offsets are measured from 0, not from the
// area's own x and y.
PicturePlacement PlacePicture(float width, float height, float area_width, float area_height, ScaleMode mode,
                              bool preview_scale);

// The most pixels a side of a drawn picture may have (Cairo's image
// surfaces hold no more); a larger placement is drawn enlarged.
constexpr int kMaxDrawnSide = 32767;

// A placement's side in whole pixels, from 1 to kMaxDrawnSide.
int DrawnPixels(float side);

// "(WxH)": the picture's own size as whole numbers; "(0x0)" for a file that
// could not be decoded.
std::string ResolutionText(float width, float height);
