#pragma once
// GDI+ backend of prepared pictures (Windows): the decoded pixels drawn on a
// worker thread into a bitmap of the part of the box they cover.
#include <windows.h>

#include <gdiplus.h>

#include "render/prepared_picture.h"

class GdiplusPreparedPicture final : public PreparedPicture {
 public:
  ~GdiplusPreparedPicture() override {
    if (bitmap) Gdiplus::DllExports::GdipDisposeImage(bitmap);
    if (backdrop) Gdiplus::DllExports::GdipDisposeImage(backdrop);
  }
  Gdiplus::GpBitmap* bitmap = nullptr;  // null: nothing to draw
  // A moving picture's pixels, larger than its place, which the bitmap is
  // over; empty for others (their bitmap is the box part they cover).
  Pixels pixels;
  // The soft background, drawn over the whole box first; null: none.
  Gdiplus::GpBitmap* backdrop = nullptr;
  int box_width = 0, box_height = 0;
};
