#include "render/renderer.h"

#include "render/canvas.h"
#include "render/caption.h"
#include "render/graphics.h"
#include "decode/picture_layout.h"
#include "render/prepared_picture.h"

namespace {

void FillBackground(Canvas& canvas, const RectF& area) {
  std::unique_ptr<CanvasPath> path = canvas.CreatePath(FillMode::Winding);
  path->AddRectangle(area);
  canvas.FillPath(*path, ToArgb(0, 255));
}

}  // namespace

void FrameRenderer::Draw(PictureBox* box, const PreparedPicture* picture, const std::string& path,
                         const std::string& message, const ShowStatus* status) {
  graphics_.Start();
  if (!box) return;
  std::unique_ptr<Canvas> canvas = box->CreateCanvas();
  if (!canvas) return;  // no surface: the box keeps its last frame
  const RectF area = canvas->VisibleClipBounds();
  canvas->SetInterpolationMode(InterpolationMode::HighQualityBicubic);
  FillBackground(*canvas, area);
  std::string resolution;
  if (!path.empty()) {
    if (picture) canvas->DrawPrepared(*picture);
    resolution = picture ? ResolutionText(picture->width, picture->height) : ResolutionText(0, 0);
  }
  TextLayers text;
  text.caption = message.empty() ? path + (settings_.caption_shows_size ? " " + resolution : "") : message;
  text.show_caption = !message.empty() || settings_.caption != CaptionPosition::Off;
  if (status) {
    text.overlay = StatusOverlayText(identity_.title, *status);
    text.scan_done = status->scan_done;
  }
  DrawTextLayers(*canvas, area, settings_, text);
}

std::uint32_t ToArgb(std::int32_t colour, std::uint8_t alpha) {
  std::uint32_t c = static_cast<std::uint32_t>(colour);
  std::uint32_t red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
  return (static_cast<std::uint32_t>(alpha) << 24) | (red << 16) | (green << 8) | blue;
}
