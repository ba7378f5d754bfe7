#include "fakes/recording_canvas.h"

#include <cstdio>

namespace {

using Log = std::vector<std::string>;

std::string F(const char* format, auto... args) {
  char line[256];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

std::string Rect(const RectF& r) { return F("%g,%g,%g,%g", r.x, r.y, r.width, r.height); }

struct Family final : CanvasFontFamily {
  bool IsStyleAvailable(FontStyle) const override { return true; }
};

struct Path final : CanvasPath {
  Path(Log& log, int id) : log(log), id(id) {}
  void AddRectangle(const RectF&) override {}
  void AddString(const std::string& text, const CanvasFontFamily&, FontStyle style, float em, const RectF& layout,
                 const TextFormat& f) override {
    log.push_back(F("AddString(#%d,", id) + text + F(",style %d,%g,", int(style), em) + Rect(layout) +
                  F(",align %d,line %d)", int(f.align), int(f.line_align)));
  }
  Log& log;
  int id;
};

// Records the texts and the pictures; the rest of the drawing is the real
// canvases' business (the canvas contract).
class Recorder final : public Canvas {
 public:
  explicit Recorder(RecordingPictureBox& box) : box_(box) {}
  RectF VisibleClipBounds() override { return box_.bounds; }
  void SetInterpolationMode(InterpolationMode) override {}
  void SetSmoothingMode(SmoothingMode) override {}
  void SetTextRenderingHint(TextRenderingHint) override {}
  std::unique_ptr<CanvasPath> CreatePath(FillMode) override { return std::make_unique<Path>(box_.log, ++paths_); }
  void FillPath(const CanvasPath&, std::uint32_t) override {}
  void DrawPath(const CanvasPath&, std::uint32_t, float) override {}
  void DrawPrepared(const PreparedPicture& p) override {
    const PicturePlacement& at = p.placement;
    const auto& picture = static_cast<const RecordedPreparedPicture&>(p);
    box_.log.push_back("DrawPicture(" + picture.path +
                       (at.draw ? F(",%g,%g,%g,%g)", at.x, at.y, at.width, at.height) : ",none)"));
  }
  void DrawPreparedPart(const PreparedPicture& p, const RectF& source, const RectF&) override {
    box_.log.push_back("DrawPicturePart(" + static_cast<const RecordedPreparedPicture&>(p).path +
                       F(",%g,%g,%g,%g)", source.x, source.y, source.width, source.height));
  }
  std::unique_ptr<CanvasFontFamily> CreateFontFamily(const std::string&) override {
    return box_.font_installed ? std::make_unique<Family>() : nullptr;
  }

 private:
  RecordingPictureBox& box_;
  int paths_ = 0;
};

}  // namespace

std::unique_ptr<Canvas> RecordingPictureBox::CreateCanvas() {
  return valid ? std::make_unique<Recorder>(*this) : nullptr;
}

void RecordingPictureBox::AreaSize(int& width, int& height) {
  width = static_cast<int>(bounds.width);
  height = static_cast<int>(bounds.height);
}

std::unique_ptr<PreparedPicture> RecordingPreparer::Prepare(const PictureRequest& request, DecodeBudget& budget) {
  auto picture = std::make_unique<RecordedPreparedPicture>();
  picture->path = request.path;
  if (while_decoding) while_decoding();
  std::lock_guard<std::mutex> lock(mutex);
  abandoned.push_back(budget.Abandoned());
  prepared.push_back(request.path);
  auto it = pictures.find(request.path);
  if (it == pictures.end()) return picture;
  picture->width = it->second.width;
  picture->height = it->second.height;
  if (taken.count(request.path)) picture->taken = taken[request.path];
  picture->placement = PlacePicture(picture->width, picture->height, static_cast<float>(request.area_width),
                                    static_cast<float>(request.area_height), request.mode, request.preview_scale);
  return picture;
}
