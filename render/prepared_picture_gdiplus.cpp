// GDI+ backend of prepared pictures. The decoded pixels are drawn, with
// high-quality bicubic interpolation, into a bitmap of the part of the box
// they cover. That bitmap is opaque, the picture already over the frame's
// black: drawing it into the frame is then a plain copy, where Wine's GDI+
// blends a bitmap with alpha pixel by pixel (docs/benchmarks.md).
#include "render/prepared_picture_gdiplus.h"

#include "decode/backdrop.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// Pixels decoded at their drawn size go in as they are, at the nearest
// whole pixel: premultiplied, their colours are already the picture over
// black. That skips the scaling draw, whose own copies of the source and of
// the result would double a 4K picture's memory while it runs.
bool AtDrawnSize(const Pixels& pixels, const PicturePlacement& at, int area_width, int area_height) {
  const long left = std::lround(at.x), top = std::lround(at.y);
  return pixels.width() == at.width && pixels.height() == at.height && left >= 0 && top >= 0 &&
         left <= area_width - pixels.width() && top <= area_height - pixels.height();
}

Gdiplus::GpBitmap* CopyAtDrawnSize(const Pixels& pixels) {
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromScan0(pixels.width(), pixels.height(), 0, PixelFormat32bppRGB, nullptr, &bitmap) !=
      Gdiplus::Ok)
    return nullptr;
  const Gdiplus::GpRect all{0, 0, pixels.width(), pixels.height()};
  Gdiplus::BitmapData rows{};
  if (GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeWrite, PixelFormat32bppRGB, &rows) != Gdiplus::Ok) {
    GdipDisposeImage(bitmap);
    return nullptr;
  }
  for (int y = 0; y < pixels.height(); ++y)
    std::memcpy(static_cast<std::uint8_t*>(rows.Scan0) + static_cast<std::ptrdiff_t>(rows.Stride) * y, pixels.Row(y),
                static_cast<std::size_t>(pixels.width()) * 4);
  GdipBitmapUnlockBits(bitmap, &rows);
  return bitmap;
}

std::size_t BoxBytes(const BoxPart& box) {
  return static_cast<std::size_t>(box.right - box.left) * static_cast<std::size_t>(box.bottom - box.top) * 4;
}

}  // namespace

std::unique_ptr<PreparedPicture> WrapPixels(PreparedPixels prepared, const PictureRequest& request) {
  auto picture = std::make_unique<GdiplusPreparedPicture>();
  picture->width = prepared.width, picture->height = prepared.height;
  PicturePlacement& at = picture->placement = prepared.placement;
  picture->taken = prepared.taken;
  const Pixels& pixels = prepared.pixels;
  if (request.soft_backdrop && !pixels.empty() && LeavesBoxBare(at, request.area_width, request.area_height)) {
    const Pixels backdrop = MakeSoftBackdrop(pixels, request.area_width, request.area_height);
    if (!backdrop.empty()) picture->backdrop = CopyAtDrawnSize(backdrop);
    picture->box_width = request.area_width, picture->box_height = request.area_height;
  }
  if (request.motion && !pixels.empty() && at.draw) {  // magnified as it moves: kept whole
    if (GdipCreateBitmapFromScan0(pixels.width(), pixels.height(), static_cast<INT>(pixels.stride()),
                                  PixelFormat32bppPARGB, pixels.data(), &picture->bitmap) == Gdiplus::Ok) {
      picture->bytes = pixels.bytes();
      picture->pixels = std::move(prepared.pixels);
    }
    return picture;
  }
  if (!pixels.empty() && at.draw && AtDrawnSize(pixels, at, request.area_width, request.area_height)) {
    at.x = static_cast<float>(std::lround(at.x)), at.y = static_cast<float>(std::lround(at.y));
    picture->bitmap = CopyAtDrawnSize(pixels);
    if (picture->bitmap) picture->bytes = static_cast<std::size_t>(pixels.width()) * pixels.height() * 4;
    return picture;
  }
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

std::size_t WrappingBytes(const PreparedPixels& prepared, const PictureRequest& request) {
  const Pixels& pixels = prepared.pixels;
  const PicturePlacement& at = prepared.placement;
  if (pixels.empty() || !at.draw) return 0;
  if (request.motion) return pixels.bytes();  // the pixels become the picture
  if (AtDrawnSize(pixels, at, request.area_width, request.area_height)) return pixels.bytes() * 2;
  // the pixels and the bitmap made, and the scaling draw's copies of both
  return (pixels.bytes() + BoxBytes(PartOfBox(at, request.area_width, request.area_height))) * 2;
}
