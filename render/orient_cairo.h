#pragma once
// Turns a decoded picture upright on the Cairo canvas (Linux), after its
// reduction to the drawn size, so the turn touches only the pixels drawn.
#include <cairo.h>

// The upright form of a 32-bit image surface stored in the given EXIF
// orientation (1 to 8). Takes over stored: returns it unchanged for
// orientation 1 (or a surface that is not 32-bit), otherwise a new surface
// and stored is destroyed. Null for null, or when the new surface cannot be
// made.
cairo_surface_t* TurnUpright(cairo_surface_t* stored, int orientation);
