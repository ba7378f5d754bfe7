#include "render/renderer.h"

#include "render/canvas.h"
#include "render/caption.h"
#include "render/picture_layout.h"
#include "startup/graphics.h"
#include "startup/program_state.h"

namespace {

void FillBackground(Canvas& canvas, const RectF& area) {
  std::unique_ptr<CanvasPath> path = canvas.CreatePath(FillMode::Winding);
  path->AddRectangle(area);
  canvas.FillPath(*path, ToArgb(0, 255));
}

// Draws the picture as the scale mode places it; returns its resolution text.
std::string DrawPicture(Canvas& canvas, const std::string& path, const RectF& area, std::int16_t mode,
                        bool previewScale) {
  std::unique_ptr<CanvasImage> image = canvas.LoadPicture(path);
  const float w = image->Width(), h = image->Height();
  const PicturePlacement at = PlacePicture(w, h, area.Width, area.Height, mode, previewScale);
  if (at.Draw) canvas.DrawImageRect(*image, at.X, at.Y, at.Width, at.Height);
  return ResolutionText(w, h);
}

}  // namespace

void RenderPicture(ProgramState& state, const std::string& path, const std::string& message, PictureBox* box,
                   bool previewScale) {
  StartGdiplus(state);
  std::int16_t& mode = state.CurrentSettings.UpscaleMode;
  if (mode < 0 || mode > 3) mode = 1;  // repaired in memory; saved with the next save
  if (!box) return;
  std::unique_ptr<Canvas> canvas = box->CreateCanvas();
  if (!canvas) return;  // no surface: the box keeps its last frame
  const RectF area = canvas->VisibleClipBounds();
  canvas->SetInterpolationMode(InterpolationMode::HighQualityBicubic);
  FillBackground(*canvas, area);
  std::string resolution;
  if (!path.empty()) resolution = DrawPicture(*canvas, path, area, mode, previewScale);
  DrawTextLayers(state, *canvas, area, path, message, resolution);
}

std::uint32_t ToArgb(std::int32_t colour, std::uint8_t alpha) {
  std::uint32_t c = static_cast<std::uint32_t>(colour);
  std::uint32_t red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
  return (static_cast<std::uint32_t>(alpha) << 24) | (red << 16) | (green << 8) | blue;
}
