#include "decode/picture_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// Results are single precision, but each product is formed in double before
// it is rounded once: a picture with the area's proportions (ratio_w == ratio_h) then
// gets exactly the area's size, whatever the ratios are.
float Scaled(float side, float ratio, float by) { return static_cast<float>(static_cast<double>(side) * ratio / by); }

void Fit(float ratio_w, float ratio_h, float area_width, float area_height, float* dw, float* dh) {
  if (ratio_w > ratio_h) {
    *dw = area_width;
    *dh = Scaled(area_height, ratio_h, ratio_w);
  } else {
    *dw = Scaled(area_width, ratio_w, ratio_h);
    *dh = area_height;
  }
}

void Cover(float ratio_w, float ratio_h, float area_width, float area_height, float* dw, float* dh) {
  if (ratio_w > ratio_h) {
    *dh = area_height;
    *dw = Scaled(area_width, ratio_w, ratio_h);
  } else {
    *dw = area_width;
    *dh = Scaled(area_height, ratio_h, ratio_w);
  }
}

}  // namespace

PicturePlacement PlacePicture(float width, float height, float area_width, float area_height, ScaleMode mode,
                              bool preview_scale) {
  PicturePlacement p;
  if (preview_scale) {
    width /= 10;
    height /= 10;
  }
  if (!(width > 0 && height > 0 && area_width > 0 && area_height > 0)) return p;
  const float ratio_w = width / area_width;
  const float ratio_h = height / area_height;
  float dw = 0, dh = 0;
  switch (mode) {
    case ScaleMode::Cover: Cover(ratio_w, ratio_h, area_width, area_height, &dw, &dh); break;
    case ScaleMode::Stretch:
      dw = area_width;
      dh = area_height;
      break;
    case ScaleMode::CenterSmall:
      if (ratio_w <= 1 && ratio_h <= 1) {
        dw = width;
        dh = height;
        break;
      }
      [[fallthrough]];
    default: Fit(ratio_w, ratio_h, area_width, area_height, &dw, &dh); break;
  }
  p.draw = std::isfinite(dw) && std::isfinite(dh);
  p.width = dw;
  p.height = dh;
  p.x = (area_width - dw) / 2;
  p.y = (area_height - dh) / 2;
  return p;
}

int DrawnPixels(float side) {
  // Clamped as a float: a sliver picture covering the screen may be billions of pixels wide.
  return side >= 1 ? static_cast<int>(std::min(std::ceil(side), static_cast<float>(kMaxDrawnSide))) : 1;
}

std::string ResolutionText(float width, float height) {
  // Whole numbers, halves rounded away from zero, no grouping.
  auto whole = [](float v) { return std::to_string(std::llround(static_cast<double>(v))); };
  return "(" + whole(width) + "x" + whole(height) + ")";
}
