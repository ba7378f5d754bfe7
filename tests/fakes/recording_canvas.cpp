#include "fakes/recording_canvas.h"

#include <cstdio>

namespace {

std::string Format(const char* format, auto... args) {
  char line[256];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

std::string Rect(const RectF& r) { return Format("%g,%g,%g,%g", r.X, r.Y, r.Width, r.Height); }

class RecordedImage final : public CanvasImage {
 public:
  RecordedImage(std::vector<std::string>& log, std::string path, RecordedPicture size)
      : log_(log), path(std::move(path)), size_(size) {}
  ~RecordedImage() override { log_.push_back("DisposeImage(" + path + ")"); }
  float Width() const override { return size_.width; }
  float Height() const override { return size_.height; }
  std::vector<std::string>& log_;
  const std::string path;

 private:
  RecordedPicture size_;
};

class RecordedFamily final : public CanvasFontFamily {
 public:
  RecordedFamily(std::vector<std::string>& log, std::string name, bool regular)
      : log_(log), name_(std::move(name)), regular_(regular) {}
  ~RecordedFamily() override { log_.push_back("DeleteFontFamily(" + name_ + ")"); }
  bool IsStyleAvailable(FontStyle style) const override {
    log_.push_back(Format("IsStyleAvailable(%d)", static_cast<int>(style)));
    return style != FontStyle::Regular || regular_;
  }

 private:
  std::vector<std::string>& log_;
  std::string name_;
  bool regular_;
};

class RecordedPath final : public CanvasPath {
 public:
  RecordedPath(std::vector<std::string>& log, int id) : log_(log), id(id) {}
  ~RecordedPath() override { log_.push_back(Format("DeletePath(#%d)", id)); }
  void AddRectangle(const RectF& r) override { log_.push_back(Format("AddRectangle(#%d,", id) + Rect(r) + ")"); }
  void AddString(const std::string& text, const CanvasFontFamily&, FontStyle style, float emSize, const RectF& layout,
                 const TextFormat& f) override {
    log_.push_back(Format("AddString(#%d,", id) + text + Format(",style %d,%g,", static_cast<int>(style), emSize) +
                   Rect(layout) +
                   Format(",align %d,line %d)", static_cast<int>(f.Align), static_cast<int>(f.LineAlign)));
  }
  std::vector<std::string>& log_;
  const int id;
};

}  // namespace

RecordingCanvas::RecordingCanvas(std::vector<std::string>& log, RectF bounds,
                                 const std::map<std::string, RecordedPicture>& pictures, bool fontInstalled,
                                 bool regularStyle)
    : log_(log), bounds_(bounds), pictures_(pictures), font_installed_(fontInstalled), regular_style_(regularStyle) {
  log_.push_back("CreateCanvas");
}

RecordingCanvas::~RecordingCanvas() { log_.push_back("DeleteCanvas"); }

RectF RecordingCanvas::VisibleClipBounds() {
  log_.push_back("VisibleClipBounds");
  return bounds_;
}

void RecordingCanvas::SetInterpolationMode(InterpolationMode mode) {
  log_.push_back(Format("SetInterpolationMode(%d)", static_cast<int>(mode)));
}

void RecordingCanvas::SetSmoothingMode(SmoothingMode mode) {
  log_.push_back(Format("SetSmoothingMode(%d)", static_cast<int>(mode)));
}

void RecordingCanvas::SetTextRenderingHint(TextRenderingHint hint) {
  log_.push_back(Format("SetTextRenderingHint(%d)", static_cast<int>(hint)));
}

std::unique_ptr<CanvasPath> RecordingCanvas::CreatePath(FillMode mode) {
  const int id = next_path_++;
  log_.push_back(Format("CreatePath(#%d,fill mode %d)", id, static_cast<int>(mode)));
  return std::make_unique<RecordedPath>(log_, id);
}

void RecordingCanvas::FillPath(const CanvasPath& path, std::uint32_t argb) {
  log_.push_back(Format("FillPath(#%d,%08X)", static_cast<const RecordedPath&>(path).id, argb));
}

void RecordingCanvas::DrawPath(const CanvasPath& path, std::uint32_t argb, float width) {
  log_.push_back(Format("DrawPath(#%d,%08X,%g)", static_cast<const RecordedPath&>(path).id, argb, width));
}

std::unique_ptr<CanvasImage> RecordingCanvas::LoadPicture(const std::string& path) {
  log_.push_back("LoadPicture(" + path + ")");
  auto it = pictures_.find(path);
  return std::make_unique<RecordedImage>(log_, path, it == pictures_.end() ? RecordedPicture{} : it->second);
}

void RecordingCanvas::DrawImageRect(CanvasImage& image, float x, float y, float width, float height) {
  log_.push_back("DrawImageRect(" + static_cast<RecordedImage&>(image).path +
                 Format(",%g,%g,%g,%g)", x, y, width, height));
}

std::unique_ptr<CanvasFontFamily> RecordingCanvas::CreateFontFamily(const std::string& name) {
  log_.push_back("CreateFontFamily(" + name + ")");
  if (!font_installed_) return nullptr;
  return std::make_unique<RecordedFamily>(log_, name, regular_style_);
}
