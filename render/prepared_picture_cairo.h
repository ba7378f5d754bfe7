#pragma once
// Cairo backend of prepared pictures (Linux): an image surface over the
// picture's pixels, decoded at about the size they are drawn.
#include <cairo.h>

#include "render/prepared_picture.h"

class CairoPreparedPicture final : public PreparedPicture {
 public:
  ~CairoPreparedPicture() override {
    if (surface) cairo_surface_destroy(surface);
    if (backdrop) cairo_surface_destroy(backdrop);
  }
  cairo_surface_t* surface = nullptr;  // null: nothing to draw; over `pixels`
  // The soft background, drawn over the whole box first; null: none.
  cairo_surface_t* backdrop = nullptr;
  Pixels backdrop_pixels;
  int box_width = 0, box_height = 0;
};
