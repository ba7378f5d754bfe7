#include "render/caption.h"

#include "render/canvas.h"
#include "render/renderer.h"
#include "startup/program_state.h"
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
                      StringAlignment lineAlign, std::int32_t border, std::int32_t fill) {
  const TextFormat format{StringAlignment::Center, lineAlign};
  std::unique_ptr<CanvasPath> path = canvas.CreatePath(FillMode::Alternate);
  path->AddString(text, family, FontStyle::Bold, kEmSize, area, format);
  canvas.DrawPath(*path, ToArgb(border, kHaloAlpha), kHaloWidth);
  canvas.DrawPath(*path, ToArgb(border, 255), kOutlineWidth);
  canvas.FillPath(*path, ToArgb(fill, 255));
}

}  // namespace

std::string StatusOverlayText(const ProgramState& state) {
  const char* crlf = "\r\n";
  std::string text = state.ProgramTitle;
  text += crlf + std::string("Version: ") + std::to_string(GLIMMORA_VERSION_MAJOR) + "." +
          std::to_string(GLIMMORA_VERSION_MINOR) + "." + std::to_string(GLIMMORA_VERSION_REVISION);
  text += crlf + std::string("Random: ") + (state.CurrentSettings.Random ? "YES" : "No");
  text += crlf + std::string("Scan done: ") + (state.ScanDone ? "YES :)" : "No :(");
  text += crlf + std::string("Folders scanned: ") + std::to_string(state.FolderCount);
  text += crlf + std::string("Files scanned: ") + std::to_string(state.PictureCount);
  text += crlf + std::string("Files seen: ") + std::to_string(state.CurrentIndex);
  text += crlf + std::string("Sleeping: ") + (state.Sleeping ? "True" : "False");
  return text;
}

void DrawTextLayers(const ProgramState& state, Canvas& canvas, const RectF& area, const std::string& path,
                    const std::string& message, const std::string& resolution) {
  const SaverSettings& s = state.CurrentSettings;
  canvas.SetTextRenderingHint(TextRenderingHint::SystemDefault);
  canvas.SetSmoothingMode(SmoothingMode::AntiAlias);
  // Without the family (or its regular style) neither layer is drawn.
  std::unique_ptr<CanvasFontFamily> family = canvas.CreateFontFamily("Arial");
  if (!family || !family->IsStyleAvailable(FontStyle::Regular)) return;

  if (!message.empty() || s.ShowFilename > 0) {
    std::string caption = path;
    if (s.ShowFileResolution) caption += " " + resolution;
    const bool bottom = s.ShowFilename == 0 || s.ShowFilename == 2;
    DrawOutlinedText(canvas, *family, area, message.empty() ? caption : message,
                     bottom ? StringAlignment::Far : StringAlignment::Near, s.ShowFilenameColorBorder,
                     s.ShowFilenameColorText);
  }
  if (state.DebugMode) {
    // The overlay takes the edge the caption leaves free.
    DrawOutlinedText(canvas, *family, area, StatusOverlayText(state),
                     s.ShowFilename == 1 ? StringAlignment::Far : StringAlignment::Near, 0,
                     state.ScanDone ? kScanDoneColour : kScanningColour);
  }
}
