// GDI+ backend of the canvas port (Windows).
// Implemented: [x] clip bounds, filled rectangles (GdipCreatePath + GdipFillPath)
#include "render/canvas_gdiplus.h"

#include <gdiplus.h>

// Types are qualified: GDI+ has a RectF of its own.
using namespace Gdiplus::DllExports;
using Gdiplus::GpGraphics;
using Gdiplus::GpPath;
using Gdiplus::GpRectF;
using Gdiplus::GpSolidFill;

namespace {

class GdiplusCanvas final : public Canvas {
 public:
  explicit GdiplusCanvas(GpGraphics* graphics) : graphics_(graphics) {}
  ~GdiplusCanvas() override { GdipDeleteGraphics(graphics_); }

  RectF VisibleClipBounds() override {
    GpRectF r{};
    GdipGetVisibleClipBounds(graphics_, &r);
    return RectF{r.X, r.Y, r.Width, r.Height};
  }

  void FillRectangle(const RectF& rect, std::uint32_t argb) override {
    GpPath* path = nullptr;
    GdipCreatePath(Gdiplus::FillModeWinding, &path);
    GpRectF r{rect.X, rect.Y, rect.Width, rect.Height};
    GdipAddPathRectangles(path, &r, 1);
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(argb, &brush);
    GdipFillPath(graphics_, brush, path);
    GdipDeleteBrush(brush);
    GdipDeletePath(path);
  }

 private:
  GpGraphics* graphics_;
};

}  // namespace

std::unique_ptr<Canvas> CreateGdiplusCanvas(HDC dc) {
  GpGraphics* graphics = nullptr;
  if (!dc || GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok || !graphics) return nullptr;
  return std::make_unique<GdiplusCanvas>(graphics);
}
