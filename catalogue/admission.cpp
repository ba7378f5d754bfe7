#include "catalogue/admission.h"

#include "decode/picture_probe.h"

namespace {

struct PictureSize {
  float width = 0, height = 0;
};

bool SizeAdmitted(SizeFilter filter, PictureSize size) {
  if (filter == SizeFilter::Off) return true;
  // Values past the table ask for nothing.
  const auto index = static_cast<std::size_t>(filter);
  const ImageSizeOption minimum = index < kImageSizeOptions.size() ? kImageSizeOptions[index] : ImageSizeOption{};
  // No rotation: a portrait picture (upright, as shown) must meet the minimum width with its width.
  return size.width >= minimum.min_width && size.height >= minimum.min_height;
}

bool RatioAdmitted(AspectFilter filter, PictureSize size) {
  if (filter == AspectFilter::All) return true;
  // Single precision on purpose: 1500 x 1000 must be exactly 1.5. A 0 / 0
  // ratio (unreadable file) is NaN and fails "< 1.5", so it counts as wide.
  const float ratio = size.width / size.height;
  return (ratio < kWideRatio) == (filter == AspectFilter::Narrow);
}

}  // namespace

bool AdmitPicture(const SaverSettings& settings, PictureProbe& probe, const std::string& path) {
  if (settings.size_filter == SizeFilter::Off && settings.aspect_filter == AspectFilter::All) return true;
  const PictureHeader header = probe.Read(path);
  // As it is shown: a photo turned a quarter by its EXIF orientation counts upright.
  const PictureSize size{static_cast<float>(UprightWidth(header)), static_cast<float>(UprightHeight(header))};
  return SizeAdmitted(settings.size_filter, size) && RatioAdmitted(settings.aspect_filter, size);
}
