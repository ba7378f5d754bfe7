#pragma once
// Cairo backend of prepared pictures (Linux): the picture decoded on a
// worker thread into a Cairo image surface at about the size it is drawn.
#include <cairo.h>

#include "render/prepared_picture.h"

class CairoPreparedPicture final : public PreparedPicture {
 public:
  ~CairoPreparedPicture() override {
    if (surface) cairo_surface_destroy(surface);
  }
  cairo_surface_t* surface = nullptr;  // null: nothing to draw
};
