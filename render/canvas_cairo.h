#pragma once
// Cairo backend of the canvas port (Linux): draws into a Cairo surface.
#include <cairo.h>

#include <memory>

#include "render/canvas.h"

// A canvas on the surface, or null when the surface is missing or broken
// (the counterpart of a device context that gives no graphics object).
std::unique_ptr<Canvas> CreateCairoCanvas(cairo_surface_t* target);
