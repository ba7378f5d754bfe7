#pragma once
// Image probe port: a picture's width and height, for the admission checks.
// GDI+ on Windows (GdipLoadImageFromFile + GdipGetImageDimension, image always
// disposed; GDI+ must be started), a header-only gdk-pixbuf probe on Linux,
// FakeImageProbe in tests/fakes.
#include <memory>
#include <string>

struct PictureSize {
  float width = 0;
  float height = 0;
};

class ImageProbe {
 public:
  virtual ~ImageProbe() = default;
  // The picture's size, upright as it is shown; 0 x 0 when the file cannot
  // be opened or is not a picture the program can show.
  virtual PictureSize Dimensions(const std::string& path) = 0;
};

std::unique_ptr<ImageProbe> CreatePlatformImageProbe();
