// GDI+ backend of the picture preparer. The header reader decides first:
// only the five formats within the pixel budget ever reach GDI+, whose
// decoders allocate the whole picture as they load it. The picture is then
// drawn, with high-quality bicubic interpolation, into a bitmap of the box's
// part it covers, and disposed. That bitmap is opaque, the picture already
// over the frame's black: drawing it into the frame is then a plain copy,
// where Wine's GDI+ blends a bitmap with alpha pixel by pixel (about 50 ms
// for a 1280x853 picture).
#include <cmath>

#include "platform/utf16_win.h"
#include "render/exif_orientation.h"
#include "render/picture_file.h"
#include "render/prepared_picture_gdiplus.h"

using namespace Gdiplus::DllExports;

namespace {

class GdiplusPicturePreparer final : public PicturePreparer {
 public:
  std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) override {
    auto picture = std::make_unique<GdiplusPreparedPicture>();
    const PictureHeader header = ReadPictureFileHeader(request.path);
    if (header.kind == PictureKind::Unknown) return picture;
    if (!FitsPictureBudget(header)) {
      // Its size is still told; nothing is decoded.
      picture->width = static_cast<float>(UprightWidth(header));
      picture->height = static_cast<float>(UprightHeight(header));
      return picture;
    }
    // GDI+ reads the file itself and cannot be stopped: only a picture still
    // wanted is loaded.
    if (budget.Abandoned()) return picture;
    const std::size_t working = WorkingBytes(header, request);
    budget.Reserve(working);
    Load(request, header.orientation, *picture);
    budget.Release(working);
    return picture;
  }

 private:
  // The whole picture as GDI+ loads it, plus the bitmap of the box.
  static std::size_t WorkingBytes(const PictureHeader& header, const PictureRequest& request) {
    const std::size_t box = static_cast<std::size_t>(request.area_width) * request.area_height * 4;
    return header.kind == PictureKind::Raster ? static_cast<std::size_t>(header.width * header.height * 4) + box
                                              : box * 2;
  }

  // Turns the loaded picture upright, a quarter turn and a mirror in two
  // steps: Wine mirrors Rotate90FlipX and Rotate270FlipX the other way round
  // from Windows, while these two steps mean the same on both.
  static void TurnUpright(Gdiplus::GpImage* image, int orientation) {
    static constexpr Gdiplus::RotateFlipType kQuarters[] = {Gdiplus::RotateNoneFlipNone, Gdiplus::Rotate90FlipNone,
                                                            Gdiplus::Rotate180FlipNone, Gdiplus::Rotate270FlipNone};
    const OrientationTurn turn = TurnOf(orientation);
    if (turn.clockwise_quarters) GdipImageRotateFlip(image, kQuarters[turn.clockwise_quarters & 3]);
    if (turn.mirror) GdipImageRotateFlip(image, Gdiplus::RotateNoneFlipX);
  }

  static void Load(const PictureRequest& request, int orientation, GdiplusPreparedPicture& picture) {
    Gdiplus::GpImage* image = nullptr;
    if (GdipLoadImageFromFile(Utf8ToWide(request.path).c_str(), &image) != Gdiplus::Ok || !image) return;
    TurnUpright(image, orientation);
    GdipGetImageDimension(image, &picture.width, &picture.height);
    picture.placement = PlacePicture(picture.width, picture.height, static_cast<float>(request.area_width),
                                     static_cast<float>(request.area_height), request.mode, request.preview_scale);
    PicturePlacement& at = picture.placement;
    // The bitmap covers the part of the box the picture covers, in whole pixels.
    const int left = std::max(0, static_cast<int>(std::floor(at.x)));
    const int top = std::max(0, static_cast<int>(std::floor(at.y)));
    const int right = std::min(request.area_width, static_cast<int>(std::ceil(at.x + at.width)));
    const int bottom = std::min(request.area_height, static_cast<int>(std::ceil(at.y + at.height)));
    if (at.draw && right > left && bottom > top &&
        GdipCreateBitmapFromScan0(right - left, bottom - top, 0, PixelFormat32bppRGB, nullptr, &picture.bitmap) ==
            Gdiplus::Ok) {
      Gdiplus::GpGraphics* graphics = nullptr;
      if (GdipGetImageGraphicsContext(picture.bitmap, &graphics) == Gdiplus::Ok && graphics) {
        GdipGraphicsClear(graphics, 0xFF000000);  // the frame's background, under transparent parts
        GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
        GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
        GdipDrawImageRect(graphics, image, at.x - left, at.y - top, at.width, at.height);
        GdipDeleteGraphics(graphics);
      }
      picture.bytes = static_cast<std::size_t>(right - left) * (bottom - top) * 4;
      at = PicturePlacement{true, static_cast<float>(left), static_cast<float>(top), static_cast<float>(right - left),
                            static_cast<float>(bottom - top)};
    }
    GdipDisposeImage(image);
  }
};

}  // namespace

std::unique_ptr<PicturePreparer> CreatePlatformPicturePreparer() { return std::make_unique<GdiplusPicturePreparer>(); }
