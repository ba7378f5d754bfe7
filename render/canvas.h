#pragma once
// Canvas port: what one frame is drawn with (GDI+ on Windows, Cairo + Pango +
// gdk-pixbuf on Linux, a recording canvas in tests), and the picture box that
// a canvas draws into.
#include <cstdint>
#include <memory>
#include <string>

struct RectF {
  float X = 0, Y = 0, Width = 0, Height = 0;
};

// A decoded (or at least opened) picture. Width and Height are 0 when the
// file cannot be decoded.
class CanvasImage {
 public:
  virtual ~CanvasImage() = default;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // GdipGetVisibleClipBounds.
  virtual RectF VisibleClipBounds() = 0;
  // Fills a rectangle with an ARGB colour.
  virtual void FillRectangle(const RectF& rect, std::uint32_t argb) = 0;
};

// A window's drawing surface (the picSaver picture box): keeps the last frame
// and shows it whenever the window is painted.
class PictureBox {
 public:
  virtual ~PictureBox() = default;
  // A canvas on the box's surface (GdipCreateFromHDC on its device context);
  // null when the box has no valid surface.
  virtual std::unique_ptr<Canvas> CreateCanvas() = 0;
  // Shows what was drawn.
  virtual void Refresh() = 0;
  // Clears the surface to the box's background colour (black).
  virtual void Cls() = 0;
};
