#pragma once
// The picture box on GTK: a back buffer (a Cairo image surface) that frames
// are drawn into and that the widget paints whenever it is exposed, like a
// picture box with AutoRedraw on.
#include <cairo.h>
#include <gtk/gtk.h>

#include "render/canvas.h"

class GtkPictureBox final : public PictureBox {
 public:
  // widget: an app-paintable window or a drawing area; it paints the buffer.
  explicit GtkPictureBox(GtkWidget* widget);
  ~GtkPictureBox() override;
  GtkPictureBox(const GtkPictureBox&) = delete;
  GtkPictureBox& operator=(const GtkPictureBox&) = delete;

  std::unique_ptr<Canvas> CreateCanvas() override;
  void Refresh() override;
  void Cls() override;

  // Sizes the buffer ahead of the first allocation (a window just placed).
  void Resize(int width, int height);
  cairo_surface_t* Surface() { return surface_; }

 private:
  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
  static void OnSizeAllocate(GtkWidget* widget, GdkRectangle* allocation, gpointer self);

  GtkWidget* widget_;
  cairo_surface_t* surface_ = nullptr;
  bool blank_ = true;  // nothing drawn since it was made or cleared: paint black, skip the copy
  gulong draw_handler_ = 0;
  gulong size_handler_ = 0;
};
