// Cairo backend of prepared pictures: an image surface over the decoded
// pixels, which the picture keeps.
#include "render/prepared_picture_cairo.h"

#include "decode/backdrop.h"

std::unique_ptr<PreparedPicture> WrapPixels(PreparedPixels prepared, const PictureRequest& request) {
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
  if (request.soft_backdrop && LeavesBoxBare(picture->placement, request.area_width, request.area_height)) {
    picture->backdrop_pixels = MakeSoftBackdrop(pixels, request.area_width, request.area_height);
    const Pixels& backdrop = picture->backdrop_pixels;
    if (!backdrop.empty())
      picture->backdrop = cairo_image_surface_create_for_data(backdrop.data(), CAIRO_FORMAT_RGB24, backdrop.width(),
                                                              backdrop.height(), static_cast<int>(backdrop.stride()));
    picture->box_width = request.area_width, picture->box_height = request.area_height;
  }
  picture->pixels = std::move(prepared.pixels);
  return picture;
}

// The pixels become the picture: they need room until the cache keeps them.
std::size_t WrappingBytes(const PreparedPixels& prepared, const PictureRequest&) { return prepared.pixels.bytes(); }
