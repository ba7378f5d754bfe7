#pragma once
// A canvas that records every call as a line of text (including the release
// of the objects it hands out), and a picture box that hands out such
// canvases over a fixed drawing area. Picture sizes are scripted by path.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/canvas.h"

struct RecordedPicture {
  float width = 0, height = 0;
};

class RecordingCanvas final : public Canvas {
 public:
  // pictures: the size each path decodes to; any other path decodes to 0 x 0.
  RecordingCanvas(std::vector<std::string>& log, RectF bounds, const std::map<std::string, RecordedPicture>& pictures,
                  bool fontInstalled, bool regularStyle);
  ~RecordingCanvas() override;

  RectF VisibleClipBounds() override;
  void SetInterpolationMode(InterpolationMode mode) override;
  void SetSmoothingMode(SmoothingMode mode) override;
  void SetTextRenderingHint(TextRenderingHint hint) override;
  std::unique_ptr<CanvasPath> CreatePath(FillMode mode) override;
  void FillPath(const CanvasPath& path, std::uint32_t argb) override;
  void DrawPath(const CanvasPath& path, std::uint32_t argb, float width) override;
  std::unique_ptr<CanvasImage> LoadPicture(const std::string& path) override;
  void DrawImageRect(CanvasImage& image, float x, float y, float width, float height) override;
  std::unique_ptr<CanvasFontFamily> CreateFontFamily(const std::string& name) override;

 private:
  std::vector<std::string>& log_;
  RectF bounds_;
  const std::map<std::string, RecordedPicture>& pictures_;
  bool font_installed_, regular_style_;
  int next_path_ = 1;
};

class RecordingPictureBox final : public PictureBox {
 public:
  std::unique_ptr<Canvas> CreateCanvas() override {
    ++canvases;
    if (!valid) return nullptr;
    return std::make_unique<RecordingCanvas>(log, bounds, pictures, font_installed, regular_style);
  }
  void Refresh() override { ++refreshes; }
  void Cls() override { ++clears; }

  RectF bounds{0, 0, 1920, 1080};
  bool valid = true;
  std::map<std::string, RecordedPicture> pictures;
  bool font_installed = true, regular_style = true;
  std::vector<std::string> log;
  int canvases = 0, refreshes = 0, clears = 0;
};
