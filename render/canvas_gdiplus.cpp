// GDI+ backend of the canvas port (Windows), through the flat API.
#include "render/canvas_gdiplus.h"

#include <gdiplus.h>

#include <string>
#include <vector>

#include "render/frame_pixels.h"
#include "render/prepared_picture_gdiplus.h"

// Types are qualified: GDI+ has a RectF of its own.
using namespace Gdiplus::DllExports;

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

Gdiplus::GpRectF ToGp(const RectF& r) { return Gdiplus::GpRectF{r.x, r.y, r.width, r.height}; }

class GdiplusFontFamily final : public CanvasFontFamily {
 public:
  explicit GdiplusFontFamily(Gdiplus::GpFontFamily* family) : family(family) {}
  ~GdiplusFontFamily() override { GdipDeleteFontFamily(family); }
  bool IsStyleAvailable(FontStyle style) const override {
    BOOL available = FALSE;
    GdipIsStyleAvailable(family, static_cast<INT>(style), &available);
    return available != FALSE;
  }
  Gdiplus::GpFontFamily* const family;
};

class GdiplusPath final : public CanvasPath {
 public:
  explicit GdiplusPath(FillMode mode) { GdipCreatePath(static_cast<Gdiplus::GpFillMode>(mode), &path); }
  ~GdiplusPath() override {
    if (path) GdipDeletePath(path);
  }
  void AddRectangle(const RectF& rect) override {
    const Gdiplus::GpRectF r = ToGp(rect);
    GdipAddPathRectangles(path, &r, 1);
  }
  void AddString(const std::string& text, const CanvasFontFamily& family, FontStyle style, float em_size,
                 const RectF& layout, const TextFormat& format) override;
  Gdiplus::GpPath* path = nullptr;

 private:
  void AddParagraphs(const std::vector<std::wstring>& paragraphs, Gdiplus::GpFontFamily* family, FontStyle style,
                     float em_size, const RectF& layout, StringAlignment line_align, Gdiplus::GpStringFormat* sf);
};

// Splits text at its line breaks (CR-LF, CR or LF).
std::vector<std::wstring> Paragraphs(const std::wstring& text) {
  std::vector<std::wstring> out(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out.emplace_back();
    } else {
      out.back() += text[i];
    }
  }
  return out;
}

void GdiplusPath::AddString(const std::string& text, const CanvasFontFamily& family, FontStyle style, float em_size,
                            const RectF& layout, const TextFormat& format) {
  Gdiplus::GpFontFamily* gp_family = static_cast<const GdiplusFontFamily&>(family).family;
  Gdiplus::GpStringFormat* sf = nullptr;
  GdipCreateStringFormat(0, LANG_NEUTRAL, &sf);
  GdipSetStringFormatAlign(sf, static_cast<Gdiplus::StringAlignment>(format.align));
  GdipSetStringFormatLineAlign(sf, static_cast<Gdiplus::StringAlignment>(format.line_align));
  const std::wstring wide = Wide(text);
  const std::vector<std::wstring> paragraphs = Paragraphs(wide);
  if (paragraphs.size() == 1) {
    const Gdiplus::GpRectF r = ToGp(layout);
    GdipAddPathString(path, wide.c_str(), -1, gp_family, static_cast<INT>(style), em_size, &r, sf);
  } else {
    AddParagraphs(paragraphs, gp_family, style, em_size, layout, format.line_align, sf);
  }
  GdipDeleteStringFormat(sf);
}

// Text with line breaks goes in one paragraph at a time, stacked by their
// measured heights: Wine's GdipAddPathString lays out only a text's first
// line, and on Windows the stack comes out as one call would lay it out.
void GdiplusPath::AddParagraphs(const std::vector<std::wstring>& paragraphs, Gdiplus::GpFontFamily* family,
                                FontStyle style, float em_size, const RectF& layout, StringAlignment line_align,
                                Gdiplus::GpStringFormat* sf) {
  HDC screen = CreateCompatibleDC(nullptr);
  Gdiplus::GpGraphics* measure = nullptr;
  GdipCreateFromHDC(screen, &measure);
  Gdiplus::GpFont* font = nullptr;
  GdipCreateFont(family, em_size, static_cast<INT>(style), Gdiplus::UnitPixel, &font);
  GdipSetStringFormatLineAlign(sf, Gdiplus::StringAlignmentNear);
  std::vector<float> heights;
  float total = 0;
  for (const std::wstring& p : paragraphs) {
    const Gdiplus::GpRectF r{layout.x, 0, layout.width, 1e6f};
    Gdiplus::GpRectF box{};
    // An empty paragraph is one blank line high.
    if (measure && font)
      GdipMeasureString(measure, p.empty() ? L" " : p.c_str(), -1, font, &r, sf, &box, nullptr, nullptr);
    heights.push_back(box.Height);
    total += box.Height;
  }
  float top = layout.y;
  if (line_align == StringAlignment::Center) top += (layout.height - total) / 2;
  if (line_align == StringAlignment::Far) top += layout.height - total;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    const Gdiplus::GpRectF r{layout.x, top, layout.width, heights[i]};
    if (!paragraphs[i].empty())
      GdipAddPathString(path, paragraphs[i].c_str(), -1, family, static_cast<INT>(style), em_size, &r, sf);
    top += heights[i];
  }
  if (font) GdipDeleteFont(font);
  if (measure) GdipDeleteGraphics(measure);
  DeleteDC(screen);
}

// A copy of the path with its curves already turned into lines. Outlining a
// curve far from the origin (a caption at the bottom of a 4K screen) made
// Wine's GDI+ subdivide it without end until the stack overflowed: its
// flatness test loses to float rounding at large coordinates. Flattened
// near the origin and moved back, the path reaches the pen as lines alone.
Gdiplus::GpPath* FlattenedNearTheOrigin(Gdiplus::GpPath* path) {
  Gdiplus::GpPath* flat = nullptr;
  if (GdipClonePath(path, &flat) != Gdiplus::Ok || !flat) return nullptr;
  Gdiplus::GpRectF bounds{};
  Gdiplus::GpMatrix *to_origin = nullptr, *back = nullptr;
  bool ok = GdipGetPathWorldBounds(flat, &bounds, nullptr, nullptr) == Gdiplus::Ok &&
            GdipCreateMatrix2(1, 0, 0, 1, -bounds.X, -bounds.Y, &to_origin) == Gdiplus::Ok &&
            GdipCreateMatrix2(1, 0, 0, 1, bounds.X, bounds.Y, &back) == Gdiplus::Ok;
  ok = ok && GdipTransformPath(flat, to_origin) == Gdiplus::Ok &&
       GdipFlattenPath(flat, nullptr, 0.25f) == Gdiplus::Ok && GdipTransformPath(flat, back) == Gdiplus::Ok;
  if (to_origin) GdipDeleteMatrix(to_origin);
  if (back) GdipDeleteMatrix(back);
  if (ok) return flat;
  GdipDeletePath(flat);
  return nullptr;
}

class GdiplusCanvas final : public Canvas {
 public:
  GdiplusCanvas(Gdiplus::GpGraphics* graphics, const FrameBuffer& pixels) : graphics_(graphics), pixels_(pixels) {}
  ~GdiplusCanvas() override { GdipDeleteGraphics(graphics_); }

  RectF VisibleClipBounds() override {
    Gdiplus::GpRectF r{};
    GdipGetVisibleClipBounds(graphics_, &r);
    return RectF{r.X, r.Y, r.Width, r.Height};
  }
  void SetInterpolationMode(InterpolationMode mode) override {
    GdipSetInterpolationMode(graphics_, static_cast<Gdiplus::InterpolationMode>(mode));
  }
  void SetSmoothingMode(SmoothingMode mode) override {
    GdipSetSmoothingMode(graphics_, static_cast<Gdiplus::SmoothingMode>(mode));
  }
  void SetTextRenderingHint(TextRenderingHint hint) override {
    GdipSetTextRenderingHint(graphics_, static_cast<Gdiplus::TextRenderingHint>(hint));
  }

  std::unique_ptr<CanvasPath> CreatePath(FillMode mode) override { return std::make_unique<GdiplusPath>(mode); }

  void FillPath(const CanvasPath& path, std::uint32_t argb) override {
    Gdiplus::GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(argb, &brush) != Gdiplus::Ok || !brush) return;  // no brush: no fill
    GdipFillPath(graphics_, brush, static_cast<const GdiplusPath&>(path).path);
    GdipDeleteBrush(brush);
  }

  void DrawPath(const CanvasPath& path, std::uint32_t argb, float width) override {
    Gdiplus::GpPen* pen = nullptr;
    if (GdipCreatePen1(argb, width, Gdiplus::UnitPixel, &pen) != Gdiplus::Ok || !pen) return;  // no pen: no stroke
    Gdiplus::GpPath* flat = FlattenedNearTheOrigin(static_cast<const GdiplusPath&>(path).path);
    GdipDrawPath(graphics_, pen, flat ? flat : static_cast<const GdiplusPath&>(path).path);
    if (flat) GdipDeletePath(flat);
    GdipDeletePen(pen);
  }

  // The bitmap is already the size it is drawn at: a copy.
  void DrawPrepared(const PreparedPicture& prepared) override {
    const auto& picture = static_cast<const GdiplusPreparedPicture&>(prepared);
    const PicturePlacement& at = picture.placement;
    DrawBackdrop(picture);
    if (!picture.bitmap || !at.draw) return;
    const RectF all{at.x, at.y, at.width, at.height};
    if (!picture.pixels.empty()) return DrawPart(picture, all, all);
    GdipDrawImageRectI(graphics_, picture.bitmap, static_cast<INT>(at.x), static_cast<INT>(at.y),
                       static_cast<INT>(at.width), static_cast<INT>(at.height));
  }

  void DrawPreparedPart(const PreparedPicture& prepared, const RectF& source, const RectF& shown) override {
    const auto& picture = static_cast<const GdiplusPreparedPicture&>(prepared);
    DrawBackdrop(picture);
    DrawPart(picture, source, shown);
  }

  std::unique_ptr<CanvasFontFamily> CreateFontFamily(const std::string& name) override {
    Gdiplus::GpFontFamily* family = nullptr;
    const std::wstring wide = Wide(name);
    if (GdipCreateFontFamilyFromName(wide.c_str(), nullptr, &family) != Gdiplus::Ok || !family) return nullptr;
    return std::make_unique<GdiplusFontFamily>(family);
  }

 private:
  // Straight into the device context's pixels where it has a DIB section:
  // Wine's GDI+ scales a picture in software far slower than a frame lasts.
  void DrawPart(const GdiplusPreparedPicture& picture, const RectF& source, const RectF& shown) {
    const PicturePlacement& at = picture.placement;
    if (!picture.bitmap || !at.draw || !(at.width > 0 && at.height > 0)) return;
    if (picture.pixels.empty()) {  // a bitmap of the box part it covers, at its drawn size
      GdipDrawImageRectRect(graphics_, picture.bitmap, shown.x, shown.y, shown.width, shown.height, source.x - at.x,
                            source.y - at.y, source.width, source.height, Gdiplus::UnitPixel, nullptr, nullptr,
                            nullptr);
      return;
    }
    const FrameBuffer frame = DibPixels();
    if (frame.data) {
      DrawPicturePart(picture, source, frame, shown);
      return;
    }
    const Pixels& pixels = picture.pixels;
    const double sx = pixels.width() / static_cast<double>(at.width);
    const double sy = pixels.height() / static_cast<double>(at.height);
    const RectF part{static_cast<float>((source.x - at.x) * sx), static_cast<float>((source.y - at.y) * sy),
                     static_cast<float>(source.width * sx), static_cast<float>(source.height * sy)};
    GdipDrawImageRectRect(graphics_, picture.bitmap, shown.x, shown.y, shown.width, shown.height, part.x, part.y,
                          part.width, part.height, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
  }

  void DrawBackdrop(const GdiplusPreparedPicture& picture) {
    if (!picture.backdrop) return;  // its few pixels scaled back up smoothly over the whole box
    Gdiplus::InterpolationMode mode = Gdiplus::InterpolationModeDefault;
    GdipGetInterpolationMode(graphics_, &mode);
    GdipSetInterpolationMode(graphics_, Gdiplus::InterpolationModeHighQualityBilinear);
    // Mirrored past its edges, so that the edges do not fade to black.
    Gdiplus::GpImageAttributes* edges = nullptr;
    GdipCreateImageAttributes(&edges);
    if (edges) GdipSetImageAttributesWrapMode(edges, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
    UINT width = 0, height = 0;
    GdipGetImageWidth(picture.backdrop, &width), GdipGetImageHeight(picture.backdrop, &height);
    GdipDrawImageRectRectI(graphics_, picture.backdrop, 0, 0, picture.box_width, picture.box_height, 0, 0,
                           static_cast<INT>(width), static_cast<INT>(height), Gdiplus::UnitPixel, edges, nullptr,
                           nullptr);
    if (edges) GdipDisposeImageAttributes(edges);
    GdipSetInterpolationMode(graphics_, mode);
  }

  // The device context's pixels, with everything drawn so far; {} when
  // they were not given.
  FrameBuffer DibPixels() {
    if (!pixels_.data) return {};
    GdipFlush(graphics_, Gdiplus::FlushIntentionSync);
    GdiFlush();
    return pixels_;
  }

  Gdiplus::GpGraphics* graphics_;
  FrameBuffer pixels_;
};

}  // namespace

std::unique_ptr<Canvas> CreateGdiplusCanvas(HDC dc, const FrameBuffer& pixels) {
  Gdiplus::GpGraphics* graphics = nullptr;
  if (!dc || GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok || !graphics) return nullptr;
  return std::make_unique<GdiplusCanvas>(graphics, pixels);
}
