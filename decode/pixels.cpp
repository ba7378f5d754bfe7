#include "decode/pixels.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "decode/exif_orientation.h"

namespace {
thread_local PixelMemory* pixel_memory = nullptr;
}  // namespace

void UsePixelMemory(PixelMemory* memory) { pixel_memory = memory; }

Pixels Pixels::Allocate(int width, int height) {
  Pixels pixels;
  if (width <= 0 || height <= 0) return pixels;
  const std::size_t stride = static_cast<std::size_t>(width) * 4, bytes = stride * static_cast<std::size_t>(height);
  std::shared_ptr<std::uint8_t> memory;
  if (pixel_memory) {
    memory = pixel_memory->Get(bytes);
  } else if (auto* heap = new (std::nothrow) std::uint8_t[bytes]()) {
    memory.reset(heap, std::default_delete<std::uint8_t[]>());
  }
  if (!memory) return pixels;
  std::uint8_t* data = memory.get();
  return Over(std::move(memory), data, width, height, stride);
}

Pixels Pixels::Over(std::shared_ptr<void> owner, std::uint8_t* data, int width, int height, std::size_t stride) {
  Pixels pixels;
  if (!data || width <= 0 || height <= 0 || stride < static_cast<std::size_t>(width) * 4) return pixels;
  pixels.owner_ = std::move(owner);
  pixels.data_ = data;
  pixels.width_ = width, pixels.height_ = height, pixels.stride_ = stride;
  return pixels;
}

Pixels TurnUpright(Pixels stored, int orientation) {
  if (stored.empty() || orientation < 2 || orientation > 8) return stored;
  const bool swap = SwapsSides(orientation);
  const int width = swap ? stored.height() : stored.width(), height = swap ? stored.width() : stored.height();
  Pixels upright = Pixels::Allocate(width, height);
  if (upright.empty()) return upright;
  upright.set_opaque(stored.opaque());
  const auto* from = reinterpret_cast<const std::uint32_t*>(stored.data());
  const std::ptrdiff_t from_row = static_cast<std::ptrdiff_t>(stored.stride() / 4);
  // Along an upright row the stored position moves by a fixed step (a pixel
  // left or right, or a row up or down): one index, no per-pixel mapping.
  for (int y = 0; y < height; ++y) {
    const PixelPosition first = StoredPosition(orientation, 0, y, stored.width(), stored.height());
    const PixelPosition next = StoredPosition(orientation, 1, y, stored.width(), stored.height());
    const std::ptrdiff_t step = (next.x - first.x) + (next.y - first.y) * from_row;
    std::ptrdiff_t at = first.x + first.y * from_row;
    std::uint32_t* row = upright.Row(y);
    for (int x = 0; x < width; ++x, at += step) row[x] = from[at];
  }
  return upright;
}

Pixels CutOut(Pixels picture, int x0, int y0, int x1, int y1) {
  if (picture.empty() || (x0 <= 0 && y0 <= 0 && x1 >= picture.width() && y1 >= picture.height())) return picture;
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, picture.width()), y1 = std::min(y1, picture.height());
  Pixels part = Pixels::Allocate(x1 - x0, y1 - y0);
  if (part.empty()) return part;
  part.set_opaque(picture.opaque());
  for (int y = y0; y < y1; ++y)
    std::memcpy(part.Row(y - y0), picture.Row(y) + x0, static_cast<std::size_t>(x1 - x0) * 4);
  return part;
}
