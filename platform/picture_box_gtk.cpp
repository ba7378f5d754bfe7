#include "platform/picture_box_gtk.h"

#include <algorithm>

#include "render/canvas_cairo.h"

GtkPictureBox::GtkPictureBox(GtkWidget* widget) : widget_(widget) {
  g_object_ref(widget_);
  draw_handler_ = g_signal_connect(widget_, "draw", G_CALLBACK(&GtkPictureBox::OnDraw), this);
  size_handler_ = g_signal_connect(widget_, "size-allocate", G_CALLBACK(&GtkPictureBox::OnSizeAllocate), this);
}

GtkPictureBox::~GtkPictureBox() {
  g_signal_handler_disconnect(widget_, draw_handler_);
  g_signal_handler_disconnect(widget_, size_handler_);
  g_object_unref(widget_);
  if (surface_) cairo_surface_destroy(surface_);
}

void GtkPictureBox::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (surface_ && cairo_image_surface_get_width(surface_) == width &&
      cairo_image_surface_get_height(surface_) == height)
    return;
  // A new image surface starts cleared: all black in RGB24.
  cairo_surface_t* fresh = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (surface_ && !blank_) {  // keep what was drawn, as a resized picture box does
    cairo_t* cr = cairo_create(fresh);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  if (surface_) cairo_surface_destroy(surface_);
  surface_ = fresh;
}

std::unique_ptr<Canvas> GtkPictureBox::CreateCanvas() {
  if (!surface_) {
    GtkAllocation a;
    gtk_widget_get_allocation(widget_, &a);
    Resize(a.width, a.height);
  }
  blank_ = false;
  return CreateCairoCanvas(surface_);
}

void GtkPictureBox::Refresh() { gtk_widget_queue_draw(widget_); }

void GtkPictureBox::Cls() {
  if (!surface_) return;
  cairo_t* cr = cairo_create(surface_);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  blank_ = true;
  Refresh();
}

gboolean GtkPictureBox::OnDraw(GtkWidget*, cairo_t* cr, gpointer self) {
  auto* box = static_cast<GtkPictureBox*>(self);
  GtkAllocation a;
  gtk_widget_get_allocation(box->widget_, &a);
  cairo_surface_t* surface = box->blank_ ? nullptr : box->surface_;
  // Black only where the surface does not reach: a full-screen fill or copy
  // per paint costs as much as the picture itself.
  if (!surface || cairo_image_surface_get_width(surface) < a.width ||
      cairo_image_surface_get_height(surface) < a.height) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
  }
  if (surface) {
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
    cairo_fill(cr);
  }
  return TRUE;
}

void GtkPictureBox::OnSizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer self) {
  static_cast<GtkPictureBox*>(self)->Resize(allocation->width, allocation->height);
}
