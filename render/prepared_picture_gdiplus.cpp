// GDI+ backend of the picture preparer. The file is opened once: its header
// decides first (only the five formats within the pixel budget are ever
// decoded), and the decoders read that same open file, never its name.
// Raster pictures are read a band of rows at a time (BMPs by the program's
// own reader, the others through WIC, with the decoder of the format the
// header reader recognised) and shrunk on the way to the size they are drawn
// at (GDI+ would hold the whole picture, and Wine's GDI+ two more copies of
// it while drawing: 530 MB for 49 megapixels); metafiles are checked and
// loaded by GDI+ from the same bytes in memory. The picture is then drawn,
// with high-quality bicubic interpolation, into a bitmap of the box's part it
// covers. That bitmap is opaque, the picture already over the frame's black:
// drawing it into the frame is then a plain copy, where Wine's GDI+ blends a
// bitmap with alpha pixel by pixel (about 50 ms for a 1280x853 picture).
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "render/bmp_rows.h"
#include "render/exif_orientation.h"
#include "render/metafile_records.h"
#include "render/picture_file.h"
#include "render/prepared_picture_gdiplus.h"
#include "render/row_reducer.h"

using namespace Gdiplus::DllExports;

namespace {

// A band of WIC rows takes at most this much (at least one row): 32 rows of
// a 1,000,000-pixel-wide picture would take 128 MB.
constexpr std::size_t kBandBytes = 4u << 20;
constexpr UINT kBandRows = 32;

UINT BandRows(std::int64_t width) {
  return static_cast<UINT>(std::clamp<std::int64_t>(kBandBytes / (width * 4), 1, kBandRows));
}

// A picture file as a COM stream, read-only, for WIC and GDI+. It lives on
// the stack of the decode: every object that holds it is released first.
// Reads end once the picture is abandoned, as at the end of the file.
class FileStream final : public IStream {
 public:
  FileStream(PictureFile& file, const DecodeBudget& budget) : file_(file), budget_(budget), size_(file.Size()) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
    const std::size_t n = budget_.Abandoned() ? 0 : file_.ReadAt(position_, buffer, size);
    position_ += n;
    if (read) *read = static_cast<ULONG>(n);
    return n == size ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    const std::int64_t from = origin == STREAM_SEEK_SET   ? 0
                              : origin == STREAM_SEEK_CUR ? static_cast<std::int64_t>(position_)
                              : origin == STREAM_SEEK_END ? static_cast<std::int64_t>(size_)
                                                          : -1;
    if (from < 0 || from + move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<std::uint64_t>(from + move.QuadPart);
    if (position) position->QuadPart = position_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = size_;
    stat->grfMode = STGM_READ;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  PictureFile& file_;
  const DecodeBudget& budget_;
  const std::uint64_t size_;
  std::uint64_t position_ = 0;
  ULONG references_ = 1;
};

// The part of the box a placement covers, in whole pixels (a sliver picture
// covering the box may lie billions of pixels past it).
struct BoxPart {
  int left = 0, top = 0, right = 0, bottom = 0;
  std::size_t Bytes() const {
    return static_cast<std::size_t>(right - left) * static_cast<std::size_t>(bottom - top) * 4;
  }
};
BoxPart PartOfBox(const PicturePlacement& at, int area_width, int area_height) {
  const auto side = [](double v, int end) { return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(end))); };
  BoxPart part{side(std::floor(at.x), area_width), side(std::floor(at.y), area_height),
               side(std::ceil(static_cast<double>(at.x) + at.width), area_width),
               side(std::ceil(static_cast<double>(at.y) + at.height), area_height)};
  part.right = std::max(part.right, part.left), part.bottom = std::max(part.bottom, part.top);
  return part;
}

// Memory reserved in the budget for the length of a decode.
class Reservation {
 public:
  Reservation(DecodeBudget& budget, std::size_t bytes) : budget_(budget), bytes_(bytes) { budget_.Reserve(bytes_); }
  ~Reservation() { budget_.Release(bytes_); }

 private:
  DecodeBudget& budget_;
  std::size_t bytes_;
};

class GdiplusPicturePreparer final : public PicturePreparer {
 public:
  std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) override {
    auto picture = std::make_unique<GdiplusPreparedPicture>();
    const std::unique_ptr<PictureFile> file = OpenPictureFile(request.path);
    if (!file) return picture;
    const PictureHeader header = ReadPictureHeader(
        [&file](std::uint64_t offset, void* buffer, std::size_t size) { return file->ReadAt(offset, buffer, size); });
    if (header.kind == PictureKind::Unknown) return picture;
    if (header.kind == PictureKind::Raster) {
      // Its size is told even when nothing is decoded.
      picture->width = static_cast<float>(UprightWidth(header));
      picture->height = static_cast<float>(UprightHeight(header));
    }
    // GDI+ cannot be stopped once it reads: only a picture still wanted is loaded.
    if (!FitsPictureBudget(header) || budget.Abandoned()) return picture;
    try {
      if (header.kind == PictureKind::Raster)
        PrepareRaster(*file, header, request, budget, *picture);
      else
        PrepareMetafile(*file, request, budget, *picture);
    } catch (const std::bad_alloc&) {  // as a file that cannot be decoded
      picture->placement = PicturePlacement{};
      picture->bytes = 0;
    }
    return picture;
  }

 private:
  // What a raster decode takes: what the program allocates (the reduced
  // picture, the reducer's tables, a band or a BMP's rows and run-length
  // indexes, the box's bitmap and Wine's copy of it while drawing), and what
  // Wine's WIC decoders hold of the whole picture (Windows' own stream it):
  // every pixel at up to four bytes, a progressive JPEG's coefficients too.
  // Each must fit the decode budget.
  struct RasterBytes {
    std::size_t own = 0, held = 0;
  };
  static RasterBytes CountRaster(const PictureHeader& header, int width, int height, const BoxPart& box) {
    const auto out_width = static_cast<std::size_t>(std::min<std::int64_t>(width, header.width));
    const auto out_height = static_cast<std::size_t>(std::min<std::int64_t>(height, header.height));
    const auto source_width = static_cast<std::size_t>(header.width);
    RasterBytes bytes;
    bytes.own = out_width * out_height * 4 + RowReducer::TableBytes(header.width, out_width) + box.Bytes() * 2;
    if (header.format == PictureFormat::Bmp) {
      bytes.own += static_cast<std::size_t>(header.held_bytes) + source_width * 8;  // a stored row, a row of pixels
    } else {
      bytes.own += source_width * 4 * BandRows(header.width);
      bytes.held = static_cast<std::size_t>(header.width * header.height * 4 + header.held_bytes);
    }
    return bytes;
  }

  static void PrepareRaster(PictureFile& file, const PictureHeader& header, const PictureRequest& request,
                            DecodeBudget& budget, GdiplusPreparedPicture& picture) {
    picture.placement = PlacePicture(picture.width, picture.height, static_cast<float>(request.area_width),
                                     static_cast<float>(request.area_height), request.mode, request.preview_scale);
    if (!picture.placement.draw) return;
    // Reduced in the stored orientation to the size it is drawn at, then turned.
    const bool quarter = TurnOf(header.orientation).clockwise_quarters % 2 == 1;
    const int drawn_width = DrawnPixels(picture.placement.width), drawn_height = DrawnPixels(picture.placement.height);
    int width = quarter ? drawn_height : drawn_width, height = quarter ? drawn_width : drawn_height;
    // A picture covering the box far past its edges (a sliver covering the
    // screen) is reduced to at most four boxes' worth of pixels, which GDI+
    // enlarges as it draws the part that shows.
    const double most = 4.0 * request.area_width * request.area_height, drawn = 1.0 * width * height;
    if (drawn > most) {
      const double shrink = std::sqrt(most / drawn);
      width = std::max(1, static_cast<int>(width * shrink)), height = std::max(1, static_cast<int>(height * shrink));
    }
    const RasterBytes bytes =
        CountRaster(header, width, height, PartOfBox(picture.placement, request.area_width, request.area_height));
    if (bytes.own > kDecodeBudgetBytes || bytes.held > kDecodeBudgetBytes) {
      picture.placement = PicturePlacement{};
      return;
    }
    const Reservation reserved(budget, bytes.own + bytes.held);
    std::vector<std::uint8_t> reduced_pixels;  // the reduced picture's memory, while it is drawn
    Gdiplus::GpImage* image = header.format == PictureFormat::Bmp
                                  ? LoadReducedBmp(file, header, width, height, budget, reduced_pixels)
                                  : LoadReduced(file, header, width, height, budget, reduced_pixels);
    if (image) {
      TurnUpright(image, header.orientation);
      DrawIntoBox(image, request, picture);
    } else {
      picture.placement = PicturePlacement{};
    }
  }

  // The metafile's bytes are read once, checked, and loaded by GDI+ from
  // memory: the bytes played are the bytes checked. GDI+ plays it at the
  // drawn size into the box's bitmap (and Wine keeps a copy of that).
  static void PrepareMetafile(PictureFile& file, const PictureRequest& request, DecodeBudget& budget,
                              GdiplusPreparedPicture& picture) {
    const std::size_t bytes = static_cast<std::size_t>(kMaxMetafileBytes) * 2 +
                              static_cast<std::size_t>(request.area_width) * request.area_height * 4 * 2;
    const Reservation reserved(budget, bytes);
    if (const std::unique_ptr<MemoryPictureFile> checked = ReadSoundMetafile(file)) {
      FileStream stream(*checked, budget);
      Gdiplus::GpImage* image = nullptr;
      if (GdipLoadImageFromStream(&stream, &image) == Gdiplus::Ok && image) {
        GdipGetImageDimension(image, &picture.width, &picture.height);
        picture.placement = PlacePicture(picture.width, picture.height, static_cast<float>(request.area_width),
                                         static_cast<float>(request.area_height), request.mode, request.preview_scale);
        DrawIntoBox(image, request, picture);
      }
    }
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

  // Draws the image into a bitmap of the part of the box it covers, in
  // whole pixels, and disposes of it.
  static void DrawIntoBox(Gdiplus::GpImage* image, const PictureRequest& request, GdiplusPreparedPicture& picture) {
    PicturePlacement& at = picture.placement;
    const BoxPart box = PartOfBox(at, request.area_width, request.area_height);
    if (at.draw && box.right > box.left && box.bottom > box.top &&
        GdipCreateBitmapFromScan0(box.right - box.left, box.bottom - box.top, 0, PixelFormat32bppRGB, nullptr,
                                  &picture.bitmap) == Gdiplus::Ok) {
      Gdiplus::GpGraphics* graphics = nullptr;
      if (GdipGetImageGraphicsContext(picture.bitmap, &graphics) == Gdiplus::Ok && graphics) {
        GdipGraphicsClear(graphics, 0xFF000000);  // the frame's background, under transparent parts
        GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
        GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
        GdipDrawImageRect(graphics, image, at.x - box.left, at.y - box.top, at.width, at.height);
        GdipDeleteGraphics(graphics);
      }
      picture.bytes = box.Bytes();
      at = PicturePlacement{true, static_cast<float>(box.left), static_cast<float>(box.top),
                            static_cast<float>(box.right - box.left), static_cast<float>(box.bottom - box.top)};
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
  static Gdiplus::GpImage* LoadReducedBmp(PictureFile& file, const PictureHeader& header, int width, int height,
                                          const DecodeBudget& budget, std::vector<std::uint8_t>& pixels) {
    BmpRowReader bmp(file);
    if (!bmp.ok() || bmp.width() != header.width || bmp.height() != header.height ||
        (bmp.run_length() && !header.held_bytes))
      return nullptr;
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

  // The first frame of a raster picture, read by the WIC decoder of its
  // format a band of rows at a time and reduced to at most width x height
  // (never enlarged: drawing does that), as a bitmap over `pixels`. Null when
  // WIC cannot read it, its frame is larger than the header said (the budget
  // was counted from the header), or the picture is abandoned meanwhile.
  static Gdiplus::GpImage* LoadReduced(PictureFile& file, const PictureHeader& header, int width, int height,
                                       const DecodeBudget& budget, std::vector<std::uint8_t>& pixels) {
    const GUID& container = header.format == PictureFormat::Jpeg  ? GUID_ContainerFormatJpeg
                            : header.format == PictureFormat::Png ? GUID_ContainerFormatPng
                                                                  : GUID_ContainerFormatGif;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    FileStream stream(file, budget);
    Gdiplus::GpImage* image = nullptr;
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT source_width = 0, source_height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoder(container, nullptr, &decoder)) &&
        SUCCEEDED(decoder->Initialize(&stream, WICDecodeMetadataCacheOnDemand)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&source_width, &source_height)) && source_width > 0 && source_height > 0 &&
        source_width <= header.width && source_height <= header.height) {
      try {  // the COM objects are released below whatever happens
        RowReducer reducer(static_cast<int>(source_width), static_cast<int>(source_height), width, height);
        const UINT band_rows = BandRows(source_width), stride = source_width * 4;
        std::vector<std::uint8_t> band(static_cast<std::size_t>(stride) * band_rows);
        bool complete = true;
        for (UINT y = 0; y < source_height && complete; y += band_rows) {
          const UINT rows = std::min(band_rows, source_height - y);
          const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(source_width), static_cast<INT>(rows)};
          complete = !budget.Abandoned() && SUCCEEDED(converter->CopyPixels(&rect, stride, stride * rows, band.data()));
          for (UINT r = 0; r < rows && complete; ++r) reducer.AddRow(&band[static_cast<std::size_t>(r) * stride]);
        }
        if (complete) image = BitmapOver(reducer, pixels);
      } catch (const std::bad_alloc&) {
        image = nullptr;
      }
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
