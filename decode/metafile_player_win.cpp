// Windows metafile player: GDI+ loads the checked bytes from memory and
// draws them at the size asked, into the picture's own pixels.
#include <windows.h>
// GDI+ after windows.h, which it needs.
#include <gdiplus.h>
#include <shlwapi.h>

#include <mutex>

#include "decode/metafile_player.h"

using namespace Gdiplus::DllExports;

namespace {

// GDI+ for players: started once in whichever process plays metafiles (a
// reader starts nothing else of it) and left running until the process ends.
bool StartGdiplus() {
  static const bool started = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return started;
}

// The metafile loaded from its bytes; null when GDI+ cannot load it.
Gdiplus::GpImage* Load(const std::string& bytes) {
  if (!StartGdiplus() || bytes.size() > MAXDWORD) return nullptr;
  IStream* stream =
      SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  if (!stream) return nullptr;
  Gdiplus::GpImage* image = nullptr;
  if (GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok) image = nullptr;
  stream->Release();
  return image;
}

}  // namespace

Pixels PlayMetafile(const std::string& bytes, int width, int height) {
  Gdiplus::GpImage* image = Load(bytes);
  if (!image) return {};
  Pixels out = Pixels::Allocate(width, height);
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (!out.empty() && GdipCreateBitmapFromScan0(width, height, static_cast<INT>(out.stride()), PixelFormat32bppPARGB,
                                                out.data(), &bitmap) == Gdiplus::Ok) {
    Gdiplus::GpGraphics* graphics = nullptr;
    if (GdipGetImageGraphicsContext(bitmap, &graphics) == Gdiplus::Ok && graphics) {
      GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
      GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
      GdipDrawImageRect(graphics, image, 0, 0, static_cast<float>(width), static_cast<float>(height));
      GdipDeleteGraphics(graphics);
    }
    GdipDisposeImage(bitmap);
  } else {
    out = Pixels();
  }
  GdipDisposeImage(image);
  return out;
}

// GDI+'s own dimensions of the metafile, as the show lays it out.
std::optional<std::pair<float, float>> MetafileSize(const std::string& bytes, float, float) {
  Gdiplus::GpImage* image = Load(bytes);
  if (!image) return std::nullopt;
  float width = 0, height = 0;
  GdipGetImageDimension(image, &width, &height);
  GdipDisposeImage(image);
  if (!(width > 0 && height > 0)) return std::nullopt;
  return std::pair{width, height};
}
