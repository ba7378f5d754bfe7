#pragma once
// The text layers drawn over a frame: the caption (the picture's path,
// optionally with its size, or a message from the show) and the status
// overlay (version and counters, for diagnosis).
#include <string>

#include "settings/saver_settings.h"

struct RectF;
struct ShowStatus;
class Canvas;

struct TextLayers {
  bool show_caption = false;
  std::string caption;     // the path and size, or the message that replaces them
  std::string overlay;     // empty: no status overlay
  bool scan_done = false;  // the overlay's colour: red while scanning, green once done
};

// Draws both layers as outlined text over the whole drawing area: the caption
// at the edge the settings choose (a message without a caption at the
// bottom), the overlay at the other one.
void DrawTextLayers(Canvas& canvas, const RectF& area, const SaverSettings& settings, const TextLayers& text);

// The status overlay's eight lines (a ninth once fades and motion are given
// up), joined by CR-LF.
std::string StatusOverlayText(const std::string& title, const ShowStatus& status);
