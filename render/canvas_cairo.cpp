// Cairo backend of the canvas port (Linux).
// Implemented: [x] clip bounds, filled rectangles
#include "render/canvas_cairo.h"

namespace {

void SetArgb(cairo_t* cr, std::uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                        ((argb >> 24) & 0xFF) / 255.0);
}

class CairoCanvas final : public Canvas {
 public:
  explicit CairoCanvas(cairo_t* cr) : cr_(cr) {}
  ~CairoCanvas() override { cairo_destroy(cr_); }

  RectF VisibleClipBounds() override {
    double x1, y1, x2, y2;
    cairo_clip_extents(cr_, &x1, &y1, &x2, &y2);
    return RectF{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2 - x1),
                 static_cast<float>(y2 - y1)};
  }

  void FillRectangle(const RectF& rect, std::uint32_t argb) override {
    SetArgb(cr_, argb);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr_, rect.X, rect.Y, rect.Width, rect.Height);
    cairo_fill(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
  }

 private:
  cairo_t* cr_;
};

}  // namespace

std::unique_ptr<Canvas> CreateCairoCanvas(cairo_surface_t* target) {
  if (!target || cairo_surface_status(target) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_t* cr = cairo_create(target);
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr);
    return nullptr;
  }
  return std::make_unique<CairoCanvas>(cr);
}
