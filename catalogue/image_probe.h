#pragma once
// Image probe port: a picture's width and height, for the admission checks.
// (First cut: the interface grows with the subsystem that uses it.)
#include <memory>

class ImageProbe {
 public:
  virtual ~ImageProbe() = default;
};

std::unique_ptr<ImageProbe> CreatePlatformImageProbe();
