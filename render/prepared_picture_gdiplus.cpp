// GDI+ backend of the picture preparer. The header reader decides first:
// only the five formats within the pixel budget are ever decoded. Raster
// pictures are read a band of rows at a time (BMPs by the program's own
// reader, the others through WIC) and shrunk on the way to the size they are drawn at (GDI+ would hold the whole
// picture, and Wine's GDI+ two more copies of it while drawing: 530 MB for 49 megapixels); metafiles are loaded by
// GDI+. The picture is then drawn, with high-quality bicubic interpolation, into a bitmap of the box's part it covers.
// That bitmap is opaque, the picture already over the frame's black: drawing it into the frame is then a plain copy,
// where Wine's GDI+ blends a bitmap with alpha pixel by pixel (about 50 ms
// for a 1280x853 picture).
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/utf16_win.h"
#include "render/bmp_rows.h"
#include "render/exif_orientation.h"
#include "render/metafile_records.h"
#include "render/picture_file.h"
#include "render/prepared_picture_gdiplus.h"
#include "render/row_reducer.h"

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
    Load(request, header, budget, *picture);
    budget.Release(working);
    return picture;
  }

 private:
  // The whole picture as Wine's decoders hold it (Windows' stream it), plus
  // the reduced picture and the bitmap of the box.
  static std::size_t WorkingBytes(const PictureHeader& header, const PictureRequest& request) {
    const std::size_t box = static_cast<std::size_t>(request.area_width) * request.area_height * 4;
    return header.kind == PictureKind::Raster ? static_cast<std::size_t>(header.width * header.height * 4) + box * 2
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

  static void Load(const PictureRequest& request, const PictureHeader& header, const DecodeBudget& budget,
                   GdiplusPreparedPicture& picture) {
    const std::wstring path = Utf8ToWide(request.path);
    std::vector<std::uint8_t> reduced_pixels;  // the reduced picture's memory, while it is drawn
    Gdiplus::GpImage* image = nullptr;
    if (header.kind == PictureKind::Raster) {
      picture.width = static_cast<float>(UprightWidth(header));
      picture.height = static_cast<float>(UprightHeight(header));
      picture.placement = PlacePicture(picture.width, picture.height, static_cast<float>(request.area_width),
                                       static_cast<float>(request.area_height), request.mode, request.preview_scale);
      if (!picture.placement.draw) return;
      // Reduced in the stored orientation to the size it is drawn at, then turned.
      const bool quarter = TurnOf(header.orientation).clockwise_quarters % 2 == 1;
      const int drawn_width = static_cast<int>(std::ceil(picture.placement.width));
      const int drawn_height = static_cast<int>(std::ceil(picture.placement.height));
      const int width = quarter ? drawn_height : drawn_width, height = quarter ? drawn_width : drawn_height;
      image = header.format == PictureFormat::Bmp ? LoadReducedBmp(request.path, width, height, budget, reduced_pixels)
                                                  : LoadReduced(path, width, height, budget, reduced_pixels);
      if (!image) {
        picture.placement = PicturePlacement{};
        return;
      }
      TurnUpright(image, header.orientation);
    } else {
      const std::unique_ptr<PictureFile> file = OpenPictureFile(request.path);
      if (!file || !MetafileRecordsAreSound(*file)) return;
      if (GdipLoadImageFromFile(path.c_str(), &image) != Gdiplus::Ok || !image) return;
      GdipGetImageDimension(image, &picture.width, &picture.height);
      picture.placement = PlacePicture(picture.width, picture.height, static_cast<float>(request.area_width),
                                       static_cast<float>(request.area_height), request.mode, request.preview_scale);
    }
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

  // The reduced picture as a bitmap over its pixels, which `pixels` takes.
  static Gdiplus::GpImage* BitmapOver(RowReducer& reducer, std::vector<std::uint8_t>& pixels) {
    pixels = std::move(reducer.pixels());
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(reducer.width(), reducer.height(), reducer.width() * 4, PixelFormat32bppPARGB,
                                  pixels.data(), &bitmap) != Gdiplus::Ok)
      return nullptr;
    return bitmap;
  }

  // A BMP through the program's own reader: the decoders of Wine's WIC hold
  // a whole run-length BMP at four bytes a pixel.
  static Gdiplus::GpImage* LoadReducedBmp(const std::string& path, int width, int height, const DecodeBudget& budget,
                                          std::vector<std::uint8_t>& pixels) {
    const std::unique_ptr<PictureFile> file = OpenPictureFile(path);
    if (!file) return nullptr;
    BmpRowReader bmp(*file);
    if (!bmp.ok()) return nullptr;
    RowReducer reducer(bmp.width(), bmp.height(), width, height);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(bmp.width()));
    for (int y = 0; y < bmp.height(); ++y) {
      if (y % 64 == 0 && budget.Abandoned()) return nullptr;
      std::fill(row.begin(), row.end(), 0u);  // rows past a damaged end stay transparent
      bmp.NextRow(row.data());
      reducer.AddRow(reinterpret_cast<const std::uint8_t*>(row.data()));
    }
    return BitmapOver(reducer, pixels);
  }

  // The first frame of a raster picture, read a band of rows at a time and
  // reduced to at most width x height (never enlarged: drawing does that),
  // as a bitmap over `pixels`. Null when WIC cannot read it or the picture
  // is abandoned meanwhile.
  static Gdiplus::GpImage* LoadReduced(const std::wstring& path, int width, int height, const DecodeBudget& budget,
                                       std::vector<std::uint8_t>& pixels) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    Gdiplus::GpImage* image = nullptr;
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT source_width = 0, source_height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&source_width, &source_height)) && source_width > 0 && source_height > 0 &&
        static_cast<std::int64_t>(source_width) * source_height <= kPictureBudgetPixels) {
      RowReducer reducer(static_cast<int>(source_width), static_cast<int>(source_height), width, height);
      constexpr UINT kBandRows = 32;
      const UINT stride = source_width * 4;
      std::vector<std::uint8_t> band(static_cast<std::size_t>(stride) * kBandRows);
      bool complete = true;
      for (UINT y = 0; y < source_height && complete; y += kBandRows) {
        const UINT rows = std::min(kBandRows, source_height - y);
        const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(source_width), static_cast<INT>(rows)};
        complete = !budget.Abandoned() && SUCCEEDED(converter->CopyPixels(&rect, stride, stride * rows, band.data()));
        for (UINT r = 0; r < rows && complete; ++r) reducer.AddRow(&band[static_cast<std::size_t>(r) * stride]);
      }
      if (complete) image = BitmapOver(reducer, pixels);
    }
    if (converter) converter->Release();
    if (frame) frame->Release();
    if (decoder) decoder->Release();
    if (factory) factory->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    return image;
  }
};

}  // namespace

std::unique_ptr<PicturePreparer> CreatePlatformPicturePreparer() { return std::make_unique<GdiplusPicturePreparer>(); }
