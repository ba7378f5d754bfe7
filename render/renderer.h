#pragma once
// The picture renderer: one complete frame into a picture box.
#include <cstdint>
#include <string>

struct ProgramState;
class PictureBox;

// Draws one frame: black over the whole box, the picture at path (nothing
// when empty) scaled by UpscaleMode, then the caption or message and the
// status overlay (caption.h). An out-of-range UpscaleMode is set to 1 in the
// current settings. A null box, or one without a surface, draws nothing. The
// caller refreshes the box.
void RenderPicture(ProgramState& state, const std::string& path, const std::string& message, PictureBox* box,
                   bool previewScale);

// 0x00BBGGRR colour + alpha -> ARGB (0xAARRGGBB); the colour's top byte is ignored.
std::uint32_t ToArgb(std::int32_t colour, std::uint8_t alpha);
