// Cairo backend of the canvas port (Linux): Cairo for paths and prepared
// pictures, Pango for text outlines ("Arial" resolves through fontconfig,
// e.g. to Liberation Sans).
// Text rendering hints do nothing here: text is drawn as outlines anyway.
#include "render/canvas_cairo.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "render/prepared_picture_cairo.h"

namespace {

void SetArgb(cairo_t* cr, std::uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                        ((argb >> 24) & 0xFF) / 255.0);
}

class CairoFontFamily final : public CanvasFontFamily {
 public:
  explicit CairoFontFamily(std::string name) : name(std::move(name)) {}
  // fontconfig supplies every style of a family it matched (synthesising bold if need be).
  bool IsStyleAvailable(FontStyle) const override { return true; }
  const std::string name;
};

class CairoPath final : public CanvasPath {
 public:
  CairoPath(cairo_t* cr, FillMode mode) : cr_(cr), mode_(mode) {}
  ~CairoPath() override {
    if (path_) cairo_path_destroy(path_);
  }

  void AddRectangle(const RectF& r) override {
    Begin();
    cairo_rectangle(cr_, r.x, r.y, r.width, r.height);
    End();
  }

  void AddString(const std::string& text, const CanvasFontFamily& family, FontStyle style, float em_size,
                 const RectF& layout, const TextFormat& format) override;

  // Makes this path the context's current path.
  void Load() const {
    cairo_new_path(cr_);
    if (path_) cairo_append_path(cr_, path_);
    cairo_set_fill_rule(cr_, mode_ == FillMode::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  }

 private:
  void Begin() { Load(); }
  void End() {
    if (path_) cairo_path_destroy(path_);
    path_ = cairo_copy_path(cr_);
    cairo_new_path(cr_);
  }

  cairo_t* cr_;
  FillMode mode_;
  cairo_path_t* path_ = nullptr;
};

PangoAlignment ToPango(StringAlignment a) {
  switch (a) {
    case StringAlignment::Center: return PANGO_ALIGN_CENTER;
    case StringAlignment::Far: return PANGO_ALIGN_RIGHT;
    default: return PANGO_ALIGN_LEFT;
  }
}

void CairoPath::AddString(const std::string& text, const CanvasFontFamily& family, FontStyle style, float em_size,
                          const RectF& layout, const TextFormat& format) {
  PangoLayout* pl = pango_cairo_create_layout(cr_);
  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, static_cast<const CairoFontFamily&>(family).name.c_str());
  pango_font_description_set_weight(font, style == FontStyle::Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_absolute_size(font, em_size * PANGO_SCALE);  // em size in pixels
  pango_layout_set_font_description(pl, font);
  pango_font_description_free(font);
  pango_layout_set_width(pl, layout.width > 0 ? static_cast<int>(layout.width * PANGO_SCALE) : -1);
  pango_layout_set_wrap(pl, PANGO_WRAP_WORD_CHAR);  // words, and inside words too long for a line
  pango_layout_set_alignment(pl, ToPango(format.align));
  // File names need not be UTF-8; show what can be shown.
  gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
  pango_layout_set_text(pl, valid, -1);
  g_free(valid);

  PangoRectangle ink, logical;
  pango_layout_get_extents(pl, &ink, &logical);
  const double height = static_cast<double>(logical.height) / PANGO_SCALE;
  double y = layout.y;
  if (format.line_align == StringAlignment::Center) y += (layout.height - height) / 2;
  if (format.line_align == StringAlignment::Far) y += layout.height - height;
  Begin();
  cairo_move_to(cr_, layout.x, y);
  pango_cairo_layout_path(cr_, pl);
  End();
  g_object_unref(pl);
}

class CairoCanvas final : public Canvas {
 public:
  explicit CairoCanvas(cairo_t* cr) : cr_(cr) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);  // as a fresh GDI+ graphics object
  }
  ~CairoCanvas() override { cairo_destroy(cr_); }

  RectF VisibleClipBounds() override {
    double x1, y1, x2, y2;
    cairo_clip_extents(cr_, &x1, &y1, &x2, &y2);
    return RectF{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2 - x1),
                 static_cast<float>(y2 - y1)};
  }

  void SetInterpolationMode(InterpolationMode mode) override {
    // CAIRO_FILTER_BEST would be the closest to bicubic, at about a second a frame.
    filter_ = mode == InterpolationMode::NearestNeighbor ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD;
  }
  void SetSmoothingMode(SmoothingMode mode) override {
    cairo_set_antialias(cr_, mode == SmoothingMode::AntiAlias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  }
  void SetTextRenderingHint(TextRenderingHint) override {}

  std::unique_ptr<CanvasPath> CreatePath(FillMode mode) override { return std::make_unique<CairoPath>(cr_, mode); }

  void FillPath(const CanvasPath& path, std::uint32_t argb) override {
    static_cast<const CairoPath&>(path).Load();
    SetArgb(cr_, argb);
    cairo_fill(cr_);
  }

  void DrawPath(const CanvasPath& path, std::uint32_t argb, float width) override {
    static_cast<const CairoPath&>(path).Load();
    SetArgb(cr_, argb);
    cairo_set_line_width(cr_, width);
    cairo_stroke(cr_);
  }

  void DrawPrepared(const PreparedPicture& picture) override;
  void DrawPreparedPart(const PreparedPicture& picture, const RectF& source, const RectF& shown) override;

  std::unique_ptr<CanvasFontFamily> CreateFontFamily(const std::string& name) override;

 private:
  void DrawBackdrop(const CairoPreparedPicture& picture);
  // Fills the rectangle (clipped to the canvas) from the picture's pixels
  // through `m` (user space -> pixels).
  void FillFromPicture(const CairoPreparedPicture& picture, const cairo_matrix_t& m, cairo_filter_t filter, double x,
                       double y, double width, double height);

  cairo_t* cr_;
  cairo_filter_t filter_ = CAIRO_FILTER_GOOD;
};

void CairoCanvas::DrawBackdrop(const CairoPreparedPicture& picture) {
  if (!picture.backdrop || cairo_surface_status(picture.backdrop) != CAIRO_STATUS_SUCCESS) return;
  cairo_pattern_t* backdrop = cairo_pattern_create_for_surface(picture.backdrop);
  cairo_matrix_t m;  // the box -> the backdrop's few pixels, scaled back up smoothly
  cairo_matrix_init_scale(&m, cairo_image_surface_get_width(picture.backdrop) / double(picture.box_width),
                          cairo_image_surface_get_height(picture.backdrop) / double(picture.box_height));
  cairo_pattern_set_matrix(backdrop, &m);
  cairo_pattern_set_filter(backdrop, CAIRO_FILTER_BILINEAR);
  cairo_pattern_set_extend(backdrop, CAIRO_EXTEND_PAD);
  cairo_save(cr_);
  cairo_set_source(cr_, backdrop);
  cairo_new_path(cr_);
  cairo_rectangle(cr_, 0, 0, picture.box_width, picture.box_height);
  cairo_fill(cr_);
  cairo_restore(cr_);
  cairo_pattern_destroy(backdrop);
}

void CairoCanvas::FillFromPicture(const CairoPreparedPicture& picture, const cairo_matrix_t& m, cairo_filter_t filter,
                                  double x, double y, double width, double height) {
  // Only the visible part of the rectangle is filled: a cut-off picture may
  // be far larger than Cairo's fixed-point coordinates reach.
  double cx1, cy1, cx2, cy2;
  cairo_clip_extents(cr_, &cx1, &cy1, &cx2, &cy2);
  const double left = std::max(x, cx1), top = std::max(y, cy1);
  const double right = std::min(x + width, cx2), bottom = std::min(y + height, cy2);
  if (right <= left || bottom <= top) return;
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(picture.surface);
  cairo_pattern_set_matrix(pattern, &m);
  cairo_pattern_set_filter(pattern, filter);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);  // no dark seam at the picture's edges
  if (cairo_pattern_status(pattern) == CAIRO_STATUS_SUCCESS) {
    cairo_save(cr_);
    cairo_set_source(cr_, pattern);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, left, top, right - left, bottom - top);
    cairo_fill(cr_);
    cairo_restore(cr_);
  }
  cairo_pattern_destroy(pattern);
}

void CairoCanvas::DrawPrepared(const PreparedPicture& prepared) {
  const auto& picture = static_cast<const CairoPreparedPicture&>(prepared);
  const PicturePlacement& at = picture.placement;
  DrawBackdrop(picture);
  if (!picture.surface || !at.draw || !(at.width >= 0.5f && at.height >= 0.5f)) return;
  cairo_matrix_t m;  // user space -> picture pixels
  cairo_matrix_init_scale(&m, cairo_image_surface_get_width(picture.surface) / static_cast<double>(at.width),
                          cairo_image_surface_get_height(picture.surface) / static_cast<double>(at.height));
  cairo_matrix_translate(&m, -at.x, -at.y);
  FillFromPicture(picture, m, filter_, at.x, at.y, at.width, at.height);
}

void CairoCanvas::DrawPreparedPart(const PreparedPicture& prepared, const RectF& source, const RectF& shown) {
  const auto& picture = static_cast<const CairoPreparedPicture&>(prepared);
  const PicturePlacement& at = picture.placement;
  DrawBackdrop(picture);
  if (!picture.surface || !at.draw || !(at.width >= 0.5f && at.height >= 0.5f) ||
      !(shown.width > 0 && shown.height > 0 && source.width > 0 && source.height > 0))
    return;
  cairo_matrix_t m;  // user space -> the part's place in the box -> picture pixels
  cairo_matrix_init_scale(&m, cairo_image_surface_get_width(picture.surface) / static_cast<double>(at.width),
                          cairo_image_surface_get_height(picture.surface) / static_cast<double>(at.height));
  cairo_matrix_translate(&m, source.x - at.x, source.y - at.y);
  cairo_matrix_scale(&m, source.width / static_cast<double>(shown.width),
                     source.height / static_cast<double>(shown.height));
  cairo_matrix_translate(&m, -shown.x, -shown.y);
  // Bilinear: a moving picture is drawn every frame, and shrinks by a tenth at most.
  FillFromPicture(picture, m, CAIRO_FILTER_BILINEAR, shown.x, shown.y, shown.width, shown.height);
}

std::unique_ptr<CanvasFontFamily> CairoCanvas::CreateFontFamily(const std::string& name) {
  // A family counts as installed when the font map can load a font for it.
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(map);
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, name.c_str());
  pango_font_description_set_absolute_size(description, 18 * PANGO_SCALE);
  PangoFont* font = pango_font_map_load_font(map, context, description);
  pango_font_description_free(description);
  g_object_unref(context);
  if (!font) return nullptr;
  g_object_unref(font);
  return std::make_unique<CairoFontFamily>(name);
}

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
