#include "catalogue/wmf_header.h"

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;

std::int16_t I16(const std::uint8_t* p) { return static_cast<std::int16_t>(p[0] | p[1] << 8); }

}  // namespace

std::optional<PictureSize> PlaceableWmfSize(const std::uint8_t* data, std::size_t size) {
  if (!data || size < kPlaceableWmfHeaderSize) return std::nullopt;
  const std::uint32_t key = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                            static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  if (key != kPlaceableKey) return std::nullopt;
  // Bounding box: left, top, right, bottom as signed 16-bit values at offset 6.
  const int width = I16(data + 10) - I16(data + 6);
  const int height = I16(data + 12) - I16(data + 8);
  return PictureSize{static_cast<float>(width < 0 ? -width : width), static_cast<float>(height < 0 ? -height : height)};
}
