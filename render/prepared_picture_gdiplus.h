#pragma once
// GDI+ backend of prepared pictures (Windows): the picture loaded on a
// worker thread and drawn there into a bitmap of the part of the box it
// covers, so the full picture is freed before it is shown.
#include <windows.h>

#include <gdiplus.h>

#include "render/prepared_picture.h"

class GdiplusPreparedPicture final : public PreparedPicture {
 public:
  ~GdiplusPreparedPicture() override {
    if (bitmap) Gdiplus::DllExports::GdipDisposeImage(bitmap);
  }
  Gdiplus::GpBitmap* bitmap = nullptr;  // null: nothing to draw
};
