#pragma once
// Pixel work of animated frames, the same on every platform: blending two
// frames for a fade, drawing part of a picture magnified for motion, and
// text kept from one frame to the next (a moving slide's caption is drawn
// once, then laid over each frame).
#include <cstdint>
#include <functional>
#include <vector>

#include "decode/pixels.h"
#include "render/canvas.h"
#include "render/prepared_picture.h"

// Whole pixels of a frame, right and bottom excluded.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const PixelRect&) const = default;
};

// out = outgoing and incoming mixed, `incoming_weight` of 256 from incoming
// (0: all outgoing). All three the same size and layout; out may be either
// of the others.
void BlendFrames(const FrameBuffer& outgoing, const FrameBuffer& incoming, const FrameBuffer& out, int incoming_weight);

// The part `source` of the picture (in its own pixels) scaled bilinearly to
// fill `shown` (in the frame's pixels), clipped to the frame. The picture's
// colours are taken as drawn over black.
// Returns the pixels it wrote.
PixelRect DrawMagnified(const Pixels& picture, const RectF& source, const FrameBuffer& frame, const RectF& shown);

// DrawMagnified of a prepared picture's kept pixels: `source` is in the
// box's pixels, where the placement puts the picture. Nothing without them.
PixelRect DrawPicturePart(const PreparedPicture& picture, const RectF& source, const FrameBuffer& frame,
                          const RectF& shown);

// Text with its soft edges, as drawn once: the pixels it covers, each
// 0xAARRGGBB with its colour premultiplied by its alpha.
struct TextStamp {
  PixelRect at;
  std::vector<std::uint32_t> pixels;  // at's width x height, row by row
};

// The text `draw_over` draws over a frame it has filled with one byte
// value: it is asked for 0 (black) and 255 (white), and what the text does
// to each gives its colour and its alpha. Empty when it draws nothing.
TextStamp CaptureText(const std::function<FrameBuffer(std::uint8_t background)>& draw_over);

// Copies a frame into one of the same size, three or four bytes a pixel
// each (the fourth byte of a four-byte pixel is left 0).
void CopyFrame(const FrameBuffer& from, const FrameBuffer& to);

// Lays the text over the frame, only within `clip`.
void DrawStamp(const TextStamp& stamp, const FrameBuffer& frame, const PixelRect& clip);
