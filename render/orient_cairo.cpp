#include "render/orient_cairo.h"

#include <cstddef>
#include <cstdint>

#include "render/exif_orientation.h"

cairo_surface_t* TurnUpright(cairo_surface_t* stored, int orientation) {
  if (!stored || orientation < 2 || orientation > 8) return stored;
  const cairo_format_t format = cairo_image_surface_get_format(stored);
  if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) return stored;
  cairo_surface_flush(stored);
  const int stored_width = cairo_image_surface_get_width(stored),
            stored_height = cairo_image_surface_get_height(stored);
  const bool swap = SwapsSides(orientation);
  const int width = swap ? stored_height : stored_width, height = swap ? stored_width : stored_height;
  cairo_surface_t* upright = cairo_image_surface_create(format, width, height);
  if (cairo_surface_status(upright) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(upright);
    cairo_surface_destroy(stored);
    return nullptr;
  }
  const auto* from = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(stored));
  const std::ptrdiff_t from_row = cairo_image_surface_get_stride(stored) / 4;
  unsigned char* to = cairo_image_surface_get_data(upright);
  const int to_stride = cairo_image_surface_get_stride(upright);
  // Along an upright row the stored position moves by a fixed step (a pixel
  // left or right, or a row up or down): one index, no per-pixel mapping.
  for (int y = 0; y < height; ++y) {
    const PixelPosition first = StoredPosition(orientation, 0, y, stored_width, stored_height);
    const PixelPosition next = StoredPosition(orientation, 1, y, stored_width, stored_height);
    const std::ptrdiff_t step = (next.x - first.x) + (next.y - first.y) * from_row;
    std::ptrdiff_t at = first.x + first.y * from_row;
    auto* row = reinterpret_cast<std::uint32_t*>(to + static_cast<std::size_t>(y) * to_stride);
    for (int x = 0; x < width; ++x, at += step) row[x] = from[at];
  }
  cairo_surface_mark_dirty(upright);
  cairo_surface_destroy(stored);
  return upright;
}
