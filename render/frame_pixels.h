#pragma once
// Pixel work of animated frames, the same on every platform: blending two
// frames for a fade, and drawing part of a picture magnified for motion.
#include "decode/pixels.h"
#include "render/canvas.h"

// out = outgoing and incoming mixed, `incoming_weight` of 256 from incoming
// (0: all outgoing). All three the same size and layout; out may be either
// of the others.
void BlendFrames(const FrameBuffer& outgoing, const FrameBuffer& incoming, const FrameBuffer& out, int incoming_weight);

// The part `source` of the picture (in its own pixels) scaled bilinearly to
// fill `shown` (in the frame's pixels), clipped to the frame. The picture's
// colours are taken as drawn over black.
void DrawMagnified(const Pixels& picture, const RectF& source, const FrameBuffer& frame, const RectF& shown);
