#include "render/renderer.h"

#include "render/canvas.h"
#include "startup/graphics.h"
#include "startup/program_state.h"

// First cut: a black frame.
void RenderPicture(ProgramState& state, const std::string&, const std::string&, PictureBox* box, bool) {
  StartGdiplus(state);
  if (!box) return;
  std::unique_ptr<Canvas> canvas = box->CreateCanvas();
  if (!canvas) return;
  canvas->FillRectangle(canvas->VisibleClipBounds(), ToArgb(0, 255));
}

std::uint32_t ToArgb(std::int32_t colour, std::uint8_t alpha) {
  std::uint32_t c = static_cast<std::uint32_t>(colour);
  std::uint32_t red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
  return (static_cast<std::uint32_t>(alpha) << 24) | (red << 16) | (green << 8) | blue;
}
