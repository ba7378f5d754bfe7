#pragma once
// The picture renderer: one complete frame into a picture box.
#include <cstdint>
#include <string>

struct ProgramState;
class PictureBox;

// Draws path (or nothing when empty) scaled by UpscaleMode on black, then the
// caption or message and the status overlay. A null box draws nothing.
void RenderPicture(ProgramState& state, const std::string& path, const std::string& message, PictureBox* box,
                   bool previewScale);

// 0x00BBGGRR colour + alpha -> GDI+ ARGB.
std::uint32_t ToArgb(std::int32_t colour, std::uint8_t alpha);
