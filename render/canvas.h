#pragma once
// Canvas port: what one frame is drawn with (GDI+ on Windows, Cairo + Pango +
// gdk-pixbuf on Linux, a recording canvas in tests), and the picture box that
// a canvas draws into.
//
// A canvas lives for one frame. The objects it hands out (paths, font
// families) belong to the caller and are released by their destructors
// before the canvas goes; pens, brushes and string formats are made and
// released inside the call that uses them. Nothing survives a frame.
// Pictures come prepared (prepared_picture.h): decoding never happens here.
// UI thread only.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "render/prepared_picture.h"

struct RectF {
  float x = 0, y = 0, width = 0, height = 0;
  bool operator==(const RectF&) const = default;
};

// Numbering as GDI+ has it, so the Windows canvas passes the values through.
enum class InterpolationMode : int { Default = 0, NearestNeighbor = 5, HighQualityBicubic = 7 };
enum class SmoothingMode : int { Default = 0, Off = 3, AntiAlias = 4 };  // Off: GDI+ SmoothingModeNone
enum class TextRenderingHint : int { SystemDefault = 0 };
enum class FillMode : int { Alternate = 0, Winding = 1 };
enum class StringAlignment : int { Near = 0, Center = 1, Far = 2 };
enum class FontStyle : int { Regular = 0, Bold = 1 };

// How text sits in its layout rectangle: align across, line_align up and
// down. Text always wraps within the rectangle's width.
struct TextFormat {
  StringAlignment align = StringAlignment::Near;
  StringAlignment line_align = StringAlignment::Near;
};

// A font family found by name.
class CanvasFontFamily {
 public:
  virtual ~CanvasFontFamily() = default;
  virtual bool IsStyleAvailable(FontStyle style) const = 0;
};

// A path of figures, in the canvas's pixel coordinates.
class CanvasPath {
 public:
  virtual ~CanvasPath() = default;
  virtual void AddRectangle(const RectF& rect) = 0;
  // The outlines of text set in family/style at em_size pixels, wrapped and
  // aligned within layout.
  virtual void AddString(const std::string& text, const CanvasFontFamily& family, FontStyle style, float em_size,
                         const RectF& layout, const TextFormat& format) = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // The drawing area: the bounds of the visible surface.
  virtual RectF VisibleClipBounds() = 0;
  virtual void SetInterpolationMode(InterpolationMode mode) = 0;
  virtual void SetSmoothingMode(SmoothingMode mode) = 0;
  virtual void SetTextRenderingHint(TextRenderingHint hint) = 0;

  // Never null.
  virtual std::unique_ptr<CanvasPath> CreatePath(FillMode mode) = 0;
  // Fills the path with a solid ARGB brush.
  virtual void FillPath(const CanvasPath& path, std::uint32_t argb) = 0;
  // Strokes the path with an ARGB pen of the given width in pixels, centred
  // on the outline.
  virtual void DrawPath(const CanvasPath& path, std::uint32_t argb, float width) = 0;

  // Draws a picture prepared by this platform's preparer where its
  // placement puts it, with the interpolation mode; nothing for a picture
  // without pixels.
  virtual void DrawPrepared(const PreparedPicture& picture) = 0;
  // The part `source` of the picture (in the box's pixels, where the
  // placement puts the picture) magnified to fill `shown`, smoothly; nothing
  // past `shown`. Its soft background, if any, fills the box as usual.
  virtual void DrawPreparedPart(const PreparedPicture& picture, const RectF& source, const RectF& shown) = 0;

  // Null when no such family is installed.
  virtual std::unique_ptr<CanvasFontFamily> CreateFontFamily(const std::string& name) = 0;
};

// Raw pixels of a frame: rows `stride` bytes apart, blue, green, red (and
// an unused byte when bytes_per_pixel is 4) in memory order.
struct FrameBuffer {
  std::uint8_t* data = nullptr;  // null: none
  int width = 0, height = 0;
  std::ptrdiff_t stride = 0;
  int bytes_per_pixel = 4;
};

// What the box shows, and the frames it keeps for a fade: the outgoing and
// the incoming slide (without the status overlay), blended into what it shows.
enum class FrameLayer { Shown, Outgoing, Incoming };

// The frame callback a box keeps between PaceFrames and StopFrames.
class FrameCallback {
 public:
  void Set(std::function<bool()> on_frame) {
    on_frame_ = std::move(on_frame);
    ++generation_;
  }
  // Runs it: false when it asked for no more frames and was not replaced
  // meanwhile (it may replace itself while it runs).
  bool Run() {
    if (!on_frame_) return false;
    const std::function<bool()> run = on_frame_;
    const unsigned generation = generation_;
    return run() || generation != generation_;
  }

 private:
  std::function<bool()> on_frame_;
  unsigned generation_ = 0;
};

// A window's drawing surface: keeps the last frame and shows it whenever the
// window is painted.
class PictureBox {
 public:
  virtual ~PictureBox() = default;
  // A canvas on the box's surface (GdipCreateFromHDC on its device context);
  // null when the box has no valid surface.
  virtual std::unique_ptr<Canvas> CreateCanvas() = 0;

  // Fades and motion; a box without them (the default) has its slides cut
  // in and still.
  // A canvas on a layer of the box's size, made on first use (Shown:
  // CreateCanvas); null when there is no room for it.
  virtual std::unique_ptr<Canvas> CreateLayerCanvas(FrameLayer layer) {
    return layer == FrameLayer::Shown ? CreateCanvas() : nullptr;
  }
  // A layer's pixels, drawing done so far included; {} when it has none.
  virtual FrameBuffer LayerPixels(FrameLayer) { return {}; }
  // Says that LayerPixels' memory was written directly.
  virtual void LayerPixelsChanged(FrameLayer) {}
  // Frees the outgoing and incoming layers.
  virtual void DropLayers() {}
  // Calls on_frame on the UI thread once before each frame the display
  // shows, until it returns false or StopFrames is called; a new call
  // replaces the one running.
  virtual void PaceFrames(std::function<bool()>) {}
  virtual void StopFrames() {}

  // The size a canvas on it would have, in pixels (what pictures are laid out for).
  virtual void AreaSize(int& width, int& height) = 0;
  virtual void Refresh() = 0;
  // Clears the surface to the box's background colour (black).
  virtual void Clear() = 0;
};
