#pragma once
// Colours between the program's 0x00BBGGRR values and GDK's RGBA, and the
// colour dialog's kept custom colours.
#include <gdk/gdk.h>

#include <cstdint>

#include "options/dialog_services.h"

// Opaque; the high byte of the colour is ignored.
GdkRGBA RgbaFromColor(std::int32_t color);
// Each channel rounded to the nearest of 0..255 (alpha ignored).
std::int32_t ColorFromRgba(const GdkRGBA& rgba);
// The user chose `color`: unless the table already holds it, it goes first
// and the others move down one (the last drops out), as a recently used list.
void RememberCustomColor(CustomColors& custom, std::int32_t color);
