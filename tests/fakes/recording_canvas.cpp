#include "fakes/recording_canvas.h"

#include <cstdio>

void RecordingCanvas::FillRectangle(const RectF& r, std::uint32_t argb) {
  char line[128];
  std::snprintf(line, sizeof line, "FillRectangle(%g,%g,%g,%g,%08X)", r.X, r.Y, r.Width, r.Height, argb);
  log_.push_back(line);
}
