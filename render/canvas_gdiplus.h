#pragma once
// GDI+ backend of the canvas port (Windows): draws into a device context
// through the GDI+ flat API.
#include <windows.h>

#include <memory>

#include "render/canvas.h"

// GdipCreateFromHDC(dc): null when no graphics object can be made. `pixels`,
// when given, are the DC's own (its DIB section's), which a moving picture
// is drawn into directly.
std::unique_ptr<Canvas> CreateGdiplusCanvas(HDC dc, const FrameBuffer& pixels = {});
