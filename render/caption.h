#pragma once
// The text layers drawn over a frame: the caption (the picture's path,
// optionally with its size, or a message from the caller) and the status
// overlay (version and counters, for diagnosis).
#include <string>

struct ProgramState;
struct RectF;
class Canvas;

// Draws the caption or message and, in debug mode, the status overlay, as
// outlined text over the whole drawing area.
void DrawTextLayers(const ProgramState& state, Canvas& canvas, const RectF& area, const std::string& path,
                    const std::string& message, const std::string& resolution);

// The status overlay's eight lines, joined by CR-LF.
std::string StatusOverlayText(const ProgramState& state);
