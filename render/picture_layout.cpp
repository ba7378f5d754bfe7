#include "render/picture_layout.h"

#include <cmath>

namespace {

// Results are single precision, but each product is formed in double before
// it is rounded once: a picture with the area's proportions (rW == rH) then
// gets exactly the area's size, whatever the ratios are.
float Scaled(float side, float ratio, float by) { return static_cast<float>(static_cast<double>(side) * ratio / by); }

void Fit(float rW, float rH, float areaWidth, float areaHeight, float* dw, float* dh) {
  if (rW > rH) {
    *dw = areaWidth;
    *dh = Scaled(areaHeight, rH, rW);
  } else {
    *dw = Scaled(areaWidth, rW, rH);
    *dh = areaHeight;
  }
}

void Cover(float rW, float rH, float areaWidth, float areaHeight, float* dw, float* dh) {
  if (rW > rH) {
    *dh = areaHeight;
    *dw = Scaled(areaWidth, rW, rH);
  } else {
    *dw = areaWidth;
    *dh = Scaled(areaHeight, rH, rW);
  }
}

}  // namespace

PicturePlacement PlacePicture(float width, float height, float areaWidth, float areaHeight, std::int16_t upscaleMode,
                              bool previewScale) {
  PicturePlacement p;
  if (previewScale) {
    width /= 10;
    height /= 10;
  }
  if (!(width > 0 && height > 0 && areaWidth > 0 && areaHeight > 0)) return p;
  const float rW = width / areaWidth;
  const float rH = height / areaHeight;
  float dw = 0, dh = 0;
  switch (upscaleMode) {
    case 3:
      Cover(rW, rH, areaWidth, areaHeight, &dw, &dh);
      break;
    case 2:
      dw = areaWidth;
      dh = areaHeight;
      break;
    case 0:
      if (rW <= 1 && rH <= 1) {
        dw = width;
        dh = height;
        break;
      }
      [[fallthrough]];
    default:
      Fit(rW, rH, areaWidth, areaHeight, &dw, &dh);
      break;
  }
  p.Draw = std::isfinite(dw) && std::isfinite(dh);
  p.Width = dw;
  p.Height = dh;
  p.X = (areaWidth - dw) / 2;
  p.Y = (areaHeight - dh) / 2;
  return p;
}

std::string ResolutionText(float width, float height) {
  // Whole numbers, halves rounded away from zero, no grouping.
  auto whole = [](float v) { return std::to_string(std::llround(static_cast<double>(v))); };
  return "(" + whole(width) + "x" + whole(height) + ")";
}
