// Windows backend of the image probe: GDI+ opens the file and reports its
// size (GdipLoadImageFromFile + GdipGetImageDimension); the image is always
// disposed before returning. GDI+ must be started (StartGdiplus).
#include <windows.h>

#include <gdiplus.h>

#include "catalogue/image_probe.h"
#include "catalogue/utf16_win.h"

namespace {

class GdiplusImageProbe final : public ImageProbe {
 public:
  PictureSize Dimensions(const std::string& path) override {
    PictureSize size;  // stays 0 x 0 when the file cannot be decoded
    const std::wstring wide = Utf8ToWide(path);
    Gdiplus::GpImage* image = nullptr;
    Gdiplus::DllExports::GdipLoadImageFromFile(wide.c_str(), &image);
    if (!image) return size;
    Gdiplus::DllExports::GdipGetImageDimension(image, &size.width, &size.height);
    Gdiplus::DllExports::GdipDisposeImage(image);
    return size;
  }
};

}  // namespace

std::unique_ptr<ImageProbe> CreatePlatformImageProbe() { return std::make_unique<GdiplusImageProbe>(); }
