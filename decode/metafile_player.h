#pragma once
// Metafiles are vector drawings: the platform's player draws one at the size
// it is shown. Its bytes have passed the record check (metafile_records.h)
// before a player sees them. Linux: gdk-pixbuf's loader
// (metafile_player_gtk.cpp); Windows: GDI+ (metafile_player_win.cpp).
#include <optional>
#include <string>

#include "decode/pixels.h"

// The metafile drawn at width x height; empty when it cannot be played.
Pixels PlayMetafile(const std::string& bytes, int width, int height);

// The size a metafile is laid out at, in the player's own terms; none when
// the player cannot tell it. `box_width` x `box_height` is the bounding box
// its header gives (0 x 0 for a metafile without one).
std::optional<std::pair<float, float>> MetafileSize(const std::string& bytes, float box_width, float box_height);
