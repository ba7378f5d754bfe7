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
  // Null: nothing to draw. Over `pixels` for a moving picture (larger than
  // its place); for others, a bitmap of the box part they cover.
  Gdiplus::GpBitmap* bitmap = nullptr;
  // The soft background, drawn over the whole box first; null: none.
  Gdiplus::GpBitmap* backdrop = nullptr;
  int box_width = 0, box_height = 0;
};
