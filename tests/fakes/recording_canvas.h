#pragma once
// A canvas that records each drawing call as a line of text, and a picture
// box that hands out such canvases over a fixed drawing area.
#include <memory>
#include <string>
#include <vector>

#include "render/canvas.h"

class RecordingCanvas final : public Canvas {
 public:
  RecordingCanvas(std::vector<std::string>& log, RectF bounds) : log_(log), bounds_(bounds) {}
  RectF VisibleClipBounds() override { return bounds_; }
  void FillRectangle(const RectF& r, std::uint32_t argb) override;

 private:
  std::vector<std::string>& log_;
  RectF bounds_;
};

class RecordingPictureBox final : public PictureBox {
 public:
  std::unique_ptr<Canvas> CreateCanvas() override {
    ++canvases;
    if (!valid) return nullptr;
    return std::make_unique<RecordingCanvas>(log, bounds);
  }
  void Refresh() override { ++refreshes; }
  void Cls() override { ++clears; }

  RectF bounds{0, 0, 1920, 1080};
  bool valid = true;
  std::vector<std::string> log;
  int canvases = 0, refreshes = 0, clears = 0;
};
