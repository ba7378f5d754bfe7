#include "render/renderer.h"

#include "platform/path_style.h"
#include "render/canvas.h"
#include "render/caption.h"
#include "render/caption_date.h"
#include "render/graphics.h"
#include "decode/picture_layout.h"
#include "render/prepared_picture.h"

namespace {

void FillBackground(Canvas& canvas, const RectF& area) {
  std::unique_ptr<CanvasPath> path = canvas.CreatePath(FillMode::Winding);
  path->AddRectangle(area);
  canvas.FillPath(*path, ToArgb(0, 255));
}

// What the caption says of the picture at path: its path, its file name, or
// the day it was taken (its file's day when it does not say) and its folder's name.
std::string CaptionWords(const std::string& path, const PreparedPicture* picture, CaptionText text) {
  const char* separators = PlatformPathStyle().windows ? "\\/" : "/";
  const std::size_t name_at = path.find_last_of(separators) + 1;  // 0 without a separator
  if (text == CaptionText::FileName) return path.substr(name_at);
  if (text != CaptionText::DateAndFolder) return path;
  const std::string folder_path = path.substr(0, name_at ? name_at - 1 : 0);
  const std::string folder = folder_path.substr(folder_path.find_last_of(separators) + 1);
  CalendarDate day = picture ? picture->taken : CalendarDate{};
  if (picture && day.year < 1) day = LocalDateOf(picture->stamp);
  const std::string date = LocalDateText(day);
  return date.empty() || folder.empty() ? date + folder : date + "  " + folder;
}

}  // namespace

void FrameRenderer::Draw(PictureBox* box, const PreparedPicture* picture, const std::string& path,
                         const std::string& message, const ShowStatus* status) {
  graphics_.Start();
  if (!box) return;
  std::unique_ptr<Canvas> canvas = box->CreateCanvas();
  if (!canvas) return;  // no surface: the box keeps its last frame
  DrawSlide(*canvas, picture, path, message, nullptr);
  if (status) DrawOverlay(*canvas, *status);
}

void FrameRenderer::DrawSlide(Canvas& canvas, const PreparedPicture* picture, const std::string& path,
                              const std::string& message, const PictureView* view, SlidePart part) {
  graphics_.Start();
  const RectF area = canvas.VisibleClipBounds();
  if (part != SlidePart::CaptionOnly) {
    canvas.SetInterpolationMode(InterpolationMode::HighQualityBicubic);
    FillBackground(canvas, area);
    if (!path.empty() && picture && view) canvas.DrawPreparedPart(*picture, view->source, view->shown);
    if (!path.empty() && picture && !view) canvas.DrawPrepared(*picture);
  }
  if (part == SlidePart::WithoutCaption) return;
  std::string resolution;
  if (!path.empty()) resolution = picture ? ResolutionText(picture->width, picture->height) : ResolutionText(0, 0);
  TextLayers text;
  const std::string words = CaptionWords(path, picture, settings_.caption_text);
  text.caption = message.empty() ? words + (settings_.caption_shows_size ? " " + resolution : "") : message;
  text.show_caption = !message.empty() || settings_.caption != CaptionPosition::Off;
  DrawTextLayers(canvas, area, settings_, text);
}

void FrameRenderer::DrawOverlay(Canvas& canvas, const ShowStatus& status) {
  graphics_.Start();
  TextLayers text;
  text.overlay = StatusOverlayText(identity_.title, status);
  text.scan_done = status.scan_done;
  DrawTextLayers(canvas, canvas.VisibleClipBounds(), settings_, text);
}

std::uint32_t ToArgb(std::int32_t colour, std::uint8_t alpha) {
  std::uint32_t c = static_cast<std::uint32_t>(colour);
  std::uint32_t red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
  return (static_cast<std::uint32_t>(alpha) << 24) | (red << 16) | (green << 8) | blue;
}
