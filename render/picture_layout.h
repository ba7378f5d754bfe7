#pragma once
// Where a picture goes in the drawing area: the four scale modes, pure
// arithmetic so it can be checked without drawing anything.
#include <cstdint>
#include <string>

struct PicturePlacement {
  bool Draw = false;  // false when the picture has no size (undecodable) or the area none
  float X = 0, Y = 0, Width = 0, Height = 0;
};

// width x height: the picture's own size; areaWidth x areaHeight: the drawing
// area. upscaleMode 0 centre small pictures, 1 fit keeping the aspect ratio,
// 2 stretch, 3 cover keeping the aspect ratio (cut at the edges); any other
// value is treated as 1. previewScale lays the picture out at one tenth of its
// size, so a small preview shows the proportions of the full screen.
// Offsets are measured from 0, not from the area's own X and Y.
PicturePlacement PlacePicture(float width, float height, float areaWidth, float areaHeight, std::int16_t upscaleMode,
                              bool previewScale);

// "(WxH)": the picture's own size as whole numbers; "(0x0)" for a file that
// could not be decoded.
std::string ResolutionText(float width, float height);
