// GDI+ backend of prepared pictures. The decoded pixels are drawn, with
// high-quality bicubic interpolation, into a bitmap of the part of the box
// they cover. That bitmap is opaque, the picture already over the frame's
// black: drawing it into the frame is then a plain copy, where Wine's GDI+
// blends a bitmap with alpha pixel by pixel (docs/benchmarks.md).
#include "render/prepared_picture_gdiplus.h"

#include <algorithm>
#include <cmath>

using namespace Gdiplus::DllExports;

namespace {

// The part of the box a placement covers, in whole pixels.
struct BoxPart {
  int left = 0, top = 0, right = 0, bottom = 0;
};

BoxPart PartOfBox(const PicturePlacement& at, int area_width, int area_height) {
  const auto side = [](double v, int end) { return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(end))); };
  BoxPart part{side(std::floor(at.x), area_width), side(std::floor(at.y), area_height),
               side(std::ceil(static_cast<double>(at.x) + at.width), area_width),
               side(std::ceil(static_cast<double>(at.y) + at.height), area_height)};
  part.right = std::max(part.right, part.left), part.bottom = std::max(part.bottom, part.top);
  return part;
}

}  // namespace

std::unique_ptr<PreparedPicture> WrapPixels(PreparedPixels prepared, const PictureRequest& request) {
  auto picture = std::make_unique<GdiplusPreparedPicture>();
  picture->width = prepared.width, picture->height = prepared.height;
  PicturePlacement& at = picture->placement = prepared.placement;
  picture->taken = prepared.taken;
  const Pixels& pixels = prepared.pixels;
  const BoxPart box = PartOfBox(at, request.area_width, request.area_height);
  Gdiplus::GpBitmap* source = nullptr;
  if (pixels.empty() || !at.draw || box.right <= box.left || box.bottom <= box.top ||
      GdipCreateBitmapFromScan0(pixels.width(), pixels.height(), static_cast<INT>(pixels.stride()),
                                PixelFormat32bppPARGB, pixels.data(), &source) != Gdiplus::Ok)
    return picture;
  if (GdipCreateBitmapFromScan0(box.right - box.left, box.bottom - box.top, 0, PixelFormat32bppRGB, nullptr,
                                &picture->bitmap) == Gdiplus::Ok) {
    Gdiplus::GpGraphics* graphics = nullptr;
    if (GdipGetImageGraphicsContext(picture->bitmap, &graphics) == Gdiplus::Ok && graphics) {
      GdipGraphicsClear(graphics, 0xFF000000);  // the frame's background, under transparent parts
      GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
      GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
      GdipDrawImageRect(graphics, source, at.x - box.left, at.y - box.top, at.width, at.height);
      GdipDeleteGraphics(graphics);
    }
    picture->bytes =
        static_cast<std::size_t>(box.right - box.left) * static_cast<std::size_t>(box.bottom - box.top) * 4;
    at = PicturePlacement{true, static_cast<float>(box.left), static_cast<float>(box.top),
                          static_cast<float>(box.right - box.left), static_cast<float>(box.bottom - box.top)};
  }
  GdipDisposeImage(source);
  return picture;
}
