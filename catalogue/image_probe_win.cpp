// Windows backend of the image probe: GDI+ opens the file and reports its
// size (GdipLoadImageFromFile + GdipGetImageDimension), turned upright for a
// JPEG with an EXIF orientation; the image is always disposed before
// returning. GDI+ must be started (StartGdiplus).
#include <windows.h>

#include <gdiplus.h>

#include <utility>

#include "catalogue/image_probe.h"
#include "catalogue/utf16_win.h"
#include "render/exif_orientation.h"
#include "render/picture_header.h"

namespace {

// A JPEG's EXIF orientation, from the header reader: GDI+ reports the size
// as stored, the filters measure the picture upright.
int Orientation(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const PictureHeader header = ReadPictureHeader([file](std::uint64_t offset, void* buffer, std::size_t size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file, buffer, static_cast<DWORD>(size), &read, nullptr))
      return std::size_t{0};
    return static_cast<std::size_t>(read);
  });
  CloseHandle(file);
  return header.orientation;
}

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
    if (SwapsSides(Orientation(wide))) std::swap(size.width, size.height);
    return size;
  }
};

}  // namespace

std::unique_ptr<ImageProbe> CreatePlatformImageProbe() { return std::make_unique<GdiplusImageProbe>(); }
