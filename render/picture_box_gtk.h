#pragma once
// Picture boxes on Linux: a back buffer (a Cairo image surface) that frames
// are drawn into and that is painted whenever its window is exposed, like a
// picture box with AutoRedraw on. GtkPictureBox serves a GTK widget (the
// options dialog's preview); XWindowPictureBox a bare GDK window (the saver),
// painting straight onto the X window.
#include <cairo.h>
#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "render/canvas.h"

class CairoPictureBox : public PictureBox {
 public:
  ~CairoPictureBox() override;
  CairoPictureBox(const CairoPictureBox&) = delete;
  CairoPictureBox& operator=(const CairoPictureBox&) = delete;

  std::unique_ptr<Canvas> CreateCanvas() override;
  void AreaSize(int& width, int& height) override;
  void Clear() override;
  std::unique_ptr<Canvas> CreateLayerCanvas(FrameLayer layer) override;
  FrameBuffer LayerPixels(FrameLayer layer) override;
  void LayerPixelsChanged(FrameLayer layer) override;
  void DropLayers() override;

  // Sizes the buffer ahead of the first allocation (a window just placed),
  // keeping what was drawn.
  void Resize(int width, int height);
  // One paced frame: runs the frame callback, and StopFrames when it asks
  // for no more.
  void RunFrame();

 protected:
  CairoPictureBox() = default;
  // Paints the buffer over a target of the given size: black wherever
  // nothing was drawn.
  void PaintOn(cairo_t* cr, int width, int height) const;
  // False while there is no buffer yet.
  bool BufferSize(int& width, int& height) const;
  // The buffer, or null while nothing is drawn in it.
  cairo_surface_t* DrawnBuffer() const { return blank_ ? nullptr : surface_; }
  // A new buffer of the given size, all black.
  virtual cairo_surface_t* NewSurface(int width, int height);
  // Makes `fresh` the buffer, with what was drawn copied into it.
  void AdoptBuffer(cairo_surface_t* fresh);
  // The size the box has on the screen, for a canvas asked for before any
  // Resize.
  virtual void ScreenSize(int& width, int& height) = 0;
  FrameCallback on_frame_;
  bool in_frame_ = false;  // inside RunFrame: a frame source ends by its return value

 private:
  // The surface of a layer, made on first use; null when there is no room.
  cairo_surface_t* Layer(FrameLayer layer);

  cairo_surface_t* layers_[2] = {nullptr, nullptr};  // outgoing, incoming
  cairo_surface_t* surface_ = nullptr;
  bool blank_ = true;  // nothing drawn since it was made or cleared: paint black, skip the copy
};

class GtkPictureBox final : public CairoPictureBox {
 public:
  // widget: an app-paintable window or a drawing area; it paints the buffer.
  explicit GtkPictureBox(GtkWidget* widget);
  ~GtkPictureBox() override;

  void Refresh() override;
  void PaceFrames(std::function<bool()> on_frame) override;
  void StopFrames() override;

 private:
  void ScreenSize(int& width, int& height) override;
  static gboolean OnTick(GtkWidget* widget, GdkFrameClock* clock, gpointer self);
  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
  static void OnSizeAllocate(GtkWidget* widget, GdkRectangle* allocation, gpointer self);

  GtkWidget* widget_;
  gulong draw_handler_ = 0;
  gulong size_handler_ = 0;
  guint tick_ = 0;
};

// Sized in the X window's own pixels. Refresh paints at once; the owner
// calls Paint with the exposed area when the window is exposed.
class XWindowPictureBox final : public CairoPictureBox {
 public:
  explicit XWindowPictureBox(GdkWindow* window);
  ~XWindowPictureBox() override;

  void Refresh() override;
  void Paint(const GdkRectangle& area);
  // Paced by the window's frame clock; by a timer at 60 a second when it
  // has none (a window inside another program's). Once frames run, the
  // buffer moves into memory shared with the X server, where the server
  // allows it: a frame then reaches the screen without passing through the
  // connection.
  void PaceFrames(std::function<bool()> on_frame) override;
  void StopFrames() override;

 private:
  struct SharedBuffer;
  void ShareBuffer();
  // True when the shared buffer was shown.
  bool PaintShared(cairo_surface_t* buffer, int x, int y, int width, int height);
  void ScreenSize(int& width, int& height) override;
  cairo_surface_t* NewSurface(int width, int height) override;
  static void OnClockUpdate(GdkFrameClock* clock, gpointer self);
  static gboolean OnTimer(gpointer self);

  GdkWindow* window_;
  GdkFrameClock* clock_ = nullptr;
  gulong update_handler_ = 0;
  guint timer_ = 0;
  std::unique_ptr<SharedBuffer> shared_;
  bool sharing_failed_ = false;
};
