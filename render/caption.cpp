#include "render/caption.h"

#include "render/canvas.h"
#include "render/renderer.h"
#include "version.h"

namespace {

constexpr float kEmSize = 18.0f;
constexpr float kHaloWidth = 3.0f;
constexpr float kOutlineWidth = 2.0f;
constexpr std::uint8_t kHaloAlpha = 63;
constexpr std::int32_t kScanDoneColour = 0x3FFF3F;  // light green
constexpr std::int32_t kScanningColour = 0x3F3FFF;  // light red

// One layer of outlined text: a soft translucent halo, a sharp outline in the
// same colour, then the fill.
void DrawOutlinedText(Canvas& canvas, const CanvasFontFamily& family, const RectF& area, const std::string& text,
                      StringAlignment line_align, std::int32_t border, std::int32_t fill) {
  const TextFormat format{StringAlignment::Center, line_align};
  std::unique_ptr<CanvasPath> path = canvas.CreatePath(FillMode::Alternate);
  path->AddString(text, family, FontStyle::Bold, kEmSize, area, format);
  canvas.DrawPath(*path, ToArgb(border, kHaloAlpha), kHaloWidth);
  canvas.DrawPath(*path, ToArgb(border, 255), kOutlineWidth);
  canvas.FillPath(*path, ToArgb(fill, 255));
}

}  // namespace

std::string StatusOverlayText(const std::string& title, const ShowStatus& status) {
  const char* crlf = "\r\n";
  std::string text = title;
  text += crlf + std::string("Version: ") + std::to_string(GLIMMORA_VERSION_MAJOR) + "." +
          std::to_string(GLIMMORA_VERSION_MINOR) + "." + std::to_string(GLIMMORA_VERSION_REVISION);
  text += crlf + std::string("Random: ") + (status.random_order ? "YES" : "No");
  text += crlf + std::string("Scan done: ") + (status.scan_done ? "YES :)" : "No :(");
  text += crlf + std::string("Folders scanned: ") + std::to_string(status.folders_queued);
  text += crlf + std::string("Files scanned: ") + std::to_string(status.pictures_listed);
  text += crlf + std::string("Files seen: ") + std::to_string(status.current_index);
  text += crlf + std::string("Sleeping: ") + (status.asleep ? "True" : "False");
  if (status.still_frames) text += crlf + std::string("Fades and motion off: under 20 frames a second");
  return text;
}

void DrawTextLayers(Canvas& canvas, const RectF& area, const SaverSettings& settings, const TextLayers& text) {
  canvas.SetTextRenderingHint(TextRenderingHint::SystemDefault);
  canvas.SetSmoothingMode(SmoothingMode::AntiAlias);
  // Without the family (or its regular style) neither layer is drawn.
  std::unique_ptr<CanvasFontFamily> family = canvas.CreateFontFamily("Arial");
  if (!family || !family->IsStyleAvailable(FontStyle::Regular)) return;

  const bool top = settings.caption == CaptionPosition::Top;
  if (text.show_caption) {
    DrawOutlinedText(canvas, *family, area, text.caption, top ? StringAlignment::Near : StringAlignment::Far,
                     settings.caption_border_colour, settings.caption_text_colour);
  }
  if (!text.overlay.empty()) {
    // The overlay takes the edge the caption leaves free.
    DrawOutlinedText(canvas, *family, area, text.overlay, top ? StringAlignment::Far : StringAlignment::Near, 0,
                     text.scan_done ? kScanDoneColour : kScanningColour);
  }
}
