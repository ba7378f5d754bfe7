#include "options/color_gtk.h"

#include <algorithm>
#include <cmath>

namespace {

double Channel(std::int32_t color, int shift) { return ((color >> shift) & 0xFF) / 255.0; }

std::int32_t Byte(double channel) {
  if (!(channel > 0)) return 0;  // NaN too
  if (channel >= 1) return 255;
  return static_cast<std::int32_t>(std::lround(channel * 255.0));
}

}  // namespace

GdkRGBA RgbaFromColor(std::int32_t color) {
  return GdkRGBA{Channel(color, 0), Channel(color, 8), Channel(color, 16), 1.0};
}

std::int32_t ColorFromRgba(const GdkRGBA& rgba) {
  return Byte(rgba.red) | (Byte(rgba.green) << 8) | (Byte(rgba.blue) << 16);
}

void RememberCustomColor(CustomColors& custom, std::int32_t color) {
  if (std::find(custom.begin(), custom.end(), color) != custom.end()) return;
  std::move_backward(custom.begin(), custom.end() - 1, custom.end());
  custom[0] = color;
}
