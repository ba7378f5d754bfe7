// Cairo backend of prepared pictures: an image surface over the decoded
// pixels, which the picture keeps.
#include "render/prepared_picture_cairo.h"

std::unique_ptr<PreparedPicture> WrapPixels(PreparedPixels prepared, const PictureRequest&) {
  auto picture = std::make_unique<CairoPreparedPicture>();
  picture->width = prepared.width, picture->height = prepared.height;
  picture->placement = prepared.placement;
  picture->taken = prepared.taken;
  const Pixels& pixels = prepared.pixels;
  if (pixels.empty()) return picture;
  picture->surface =
      cairo_image_surface_create_for_data(pixels.data(), pixels.opaque() ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32,
                                          pixels.width(), pixels.height(), static_cast<int>(pixels.stride()));
  if (cairo_surface_status(picture->surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(picture->surface);
    picture->surface = nullptr;
    return picture;
  }
  picture->bytes = pixels.bytes();
  picture->pixels = std::move(prepared.pixels);
  return picture;
}

// The pixels become the picture: they need room until the cache keeps them.
std::size_t WrappingBytes(const PreparedPixels& prepared, const PictureRequest&) { return prepared.pixels.bytes(); }
