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

// Logs its line when the object that holds it is released.
struct Release {
  Log& log;
  std::string line;
  ~Release() { log.push_back(line); }
};

struct Family final : CanvasFontFamily {
  Family(Log& log, const std::string& name) : release{log, "DeleteFontFamily(" + name + ")"} {}
  bool IsStyleAvailable(FontStyle) const override { return true; }
  Release release;
};

struct Path final : CanvasPath {
  Path(Log& log, int id) : release{log, F("DeletePath(#%d)", id)}, id(id) {}
  void AddRectangle(const RectF& r) override { release.log.push_back(F("AddRectangle(#%d,", id) + Rect(r) + ")"); }
  void AddString(const std::string& text, const CanvasFontFamily&, FontStyle style, float em, const RectF& layout,
                 const TextFormat& f) override {
    release.log.push_back(F("AddString(#%d,", id) + text + F(",style %d,%g,", int(style), em) + Rect(layout) +
                          F(",align %d,line %d)", int(f.align), int(f.line_align)));
  }
  Release release;
  int id;
};

class Recorder final : public Canvas {
 public:
  explicit Recorder(RecordingPictureBox& box) : box_(box) { box.log.push_back("CreateCanvas"); }
  RectF VisibleClipBounds() override { return Add("VisibleClipBounds"), box_.bounds; }
  void SetInterpolationMode(InterpolationMode m) override { Add(F("SetInterpolationMode(%d)", int(m))); }
  void SetSmoothingMode(SmoothingMode m) override { Add(F("SetSmoothingMode(%d)", int(m))); }
  void SetTextRenderingHint(TextRenderingHint h) override { Add(F("SetTextRenderingHint(%d)", int(h))); }
  std::unique_ptr<CanvasPath> CreatePath(FillMode mode) override {
    Add(F("CreatePath(#%d,fill mode %d)", ++paths_, int(mode)));
    return std::make_unique<Path>(box_.log, paths_);
  }
  void FillPath(const CanvasPath& p, std::uint32_t argb) override {
    Add(F("FillPath(#%d,%08X)", static_cast<const Path&>(p).id, argb));
  }
  void DrawPath(const CanvasPath& p, std::uint32_t argb, float width) override {
    Add(F("DrawPath(#%d,%08X,%g)", static_cast<const Path&>(p).id, argb, width));
  }
  void DrawPrepared(const PreparedPicture& p) override {
    const PicturePlacement& at = p.placement;
    const auto& picture = static_cast<const RecordedPreparedPicture&>(p);
    Add("DrawPicture(" + picture.path + (at.draw ? F(",%g,%g,%g,%g)", at.x, at.y, at.width, at.height) : ",none)"));
  }
  std::unique_ptr<CanvasFontFamily> CreateFontFamily(const std::string& name) override {
    Add("CreateFontFamily(" + name + ")");
    return box_.font_installed ? std::make_unique<Family>(box_.log, name) : nullptr;
  }

 private:
  void Add(std::string line) { box_.log.push_back(std::move(line)); }
  RecordingPictureBox& box_;
  Release release_{box_.log, "DeleteCanvas"};
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
