#pragma once
// A picture box whose canvases record every call as a line of text, the
// release of every object they hand out included. Picture sizes are scripted
// by path (0 x 0 for any other path).
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/canvas.h"

struct RecordedPicture {
  float width = 0, height = 0;
};

class RecordingPictureBox final : public PictureBox {
 public:
  std::unique_ptr<Canvas> CreateCanvas() override;  // null when !valid
  void Refresh() override { ++refreshes; }
  void Clear() override { ++clears; }

  RectF bounds{0, 0, 1920, 1080};
  bool valid = true, font_installed = true;
  std::map<std::string, RecordedPicture> pictures;
  std::vector<std::string> log;
  int refreshes = 0, clears = 0;
};
