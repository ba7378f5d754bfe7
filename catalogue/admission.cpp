#include "catalogue/admission.h"

#include "catalogue/image_probe.h"
#include "startup/graphics.h"
#include "startup/program_state.h"

namespace {

bool SizeAdmitted(std::int16_t check, PictureSize size) {
  if (check < 1) return true;
  // Values past the table ask for nothing.
  float min_width = 0, min_height = 0;
  if (check < static_cast<std::int16_t>(kImageSizeOptions.size())) {
    min_width = kImageSizeOptions[check].min_width;
    min_height = kImageSizeOptions[check].min_height;
  }
  // No rotation: a portrait picture must meet the minimum width with its width.
  return size.width >= min_width && size.height >= min_height;
}

bool RatioAdmitted(std::int16_t check, PictureSize size) {
  if (check < 1) return true;
  // Single precision on purpose: 1500 x 1000 must be exactly 1.5. A 0 / 0
  // ratio (unreadable file) is NaN and fails "< 1.5", so it counts as wide.
  const float ratio = size.width / size.height;
  if (ratio < kWideRatio) return check == 1;
  return check == 2;
}

}  // namespace

bool AdmitPicture(ProgramState& state, const std::string& path) {
  const SaverSettings& settings = state.CurrentSettings;
  if (settings.CheckImageSize < 1 && settings.CheckAspectRatio < 1) return true;
  StartGdiplus(state);
  const PictureSize size = state.ports.probe->Dimensions(path);
  return SizeAdmitted(settings.CheckImageSize, size) && RatioAdmitted(settings.CheckAspectRatio, size);
}
