#include "render/picture_box_gtk.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <cairo-xlib.h>
#include <gdk/gdkx.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "render/canvas_cairo.h"

CairoPictureBox::~CairoPictureBox() {
  DropLayers();
  if (surface_) cairo_surface_destroy(surface_);
}

cairo_surface_t* CairoPictureBox::Layer(FrameLayer layer) {
  int width = 0, height = 0;
  if (!BufferSize(width, height)) {
    ScreenSize(width, height);
    Resize(width, height);
    BufferSize(width, height);
  }
  if (layer == FrameLayer::Shown) return surface_;
  cairo_surface_t*& surface = layers_[layer == FrameLayer::Outgoing ? 0 : 1];
  if (surface &&
      (cairo_image_surface_get_width(surface) != width || cairo_image_surface_get_height(surface) != height)) {
    cairo_surface_destroy(surface);
    surface = nullptr;
  }
  if (!surface) surface = NewSurface(width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    surface = nullptr;
  }
  return surface;
}

std::unique_ptr<Canvas> CairoPictureBox::CreateLayerCanvas(FrameLayer layer) {
  if (layer == FrameLayer::Shown) return CreateCanvas();
  cairo_surface_t* surface = Layer(layer);
  return surface ? CreateCairoCanvas(surface) : nullptr;
}

FrameBuffer CairoPictureBox::LayerPixels(FrameLayer layer) {
  cairo_surface_t* surface = layer == FrameLayer::Shown ? surface_ : layers_[layer == FrameLayer::Outgoing ? 0 : 1];
  if (!surface) return {};
  cairo_surface_flush(surface);
  return FrameBuffer{cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
                     cairo_image_surface_get_height(surface), cairo_image_surface_get_stride(surface), 4};
}

void CairoPictureBox::LayerPixelsChanged(FrameLayer layer) {
  cairo_surface_t* surface = layer == FrameLayer::Shown ? surface_ : layers_[layer == FrameLayer::Outgoing ? 0 : 1];
  if (!surface) return;
  cairo_surface_mark_dirty(surface);
  if (layer == FrameLayer::Shown) blank_ = false;
}

void CairoPictureBox::DropLayers() {
  for (cairo_surface_t*& surface : layers_) {
    if (surface) cairo_surface_destroy(surface);
    surface = nullptr;
  }
}

void CairoPictureBox::RunFrame() {
  in_frame_ = true;  // a frame source removed now ends by its own return value
  if (!on_frame_.Run()) StopFrames();
  in_frame_ = false;
}

cairo_surface_t* CairoPictureBox::NewSurface(int width, int height) {
  // A new image surface starts cleared: all black in RGB24.
  return cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
}

void CairoPictureBox::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (surface_ && cairo_image_surface_get_width(surface_) == width &&
      cairo_image_surface_get_height(surface_) == height)
    return;
  AdoptBuffer(NewSurface(width, height));
}

void CairoPictureBox::AdoptBuffer(cairo_surface_t* fresh) {
  if (surface_ && !blank_) {  // keep what was drawn, as a resized picture box does
    cairo_t* cr = cairo_create(fresh);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  if (surface_) cairo_surface_destroy(surface_);
  surface_ = fresh;
}

bool CairoPictureBox::BufferSize(int& width, int& height) const {
  if (!surface_) return false;
  width = cairo_image_surface_get_width(surface_);
  height = cairo_image_surface_get_height(surface_);
  return true;
}

void CairoPictureBox::AreaSize(int& width, int& height) {
  if (!BufferSize(width, height)) ScreenSize(width, height);
}

std::unique_ptr<Canvas> CairoPictureBox::CreateCanvas() {
  if (!surface_) {
    int width = 0, height = 0;
    ScreenSize(width, height);
    Resize(width, height);
  }
  blank_ = false;
  return CreateCairoCanvas(surface_);
}

void CairoPictureBox::Clear() {
  if (!surface_) return;
  cairo_t* cr = cairo_create(surface_);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  blank_ = true;
  Refresh();
}

void CairoPictureBox::PaintOn(cairo_t* cr, int width, int height) const {
  cairo_surface_t* surface = blank_ ? nullptr : surface_;
  // Black only where the surface does not reach: a full-screen fill or copy
  // per paint costs as much as the picture itself.
  if (!surface || cairo_image_surface_get_width(surface) < width || cairo_image_surface_get_height(surface) < height) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
  }
  if (surface) {
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
    cairo_fill(cr);
  }
}

GtkPictureBox::GtkPictureBox(GtkWidget* widget) : widget_(widget) {
  g_object_ref(widget_);
  draw_handler_ = g_signal_connect(widget_, "draw", G_CALLBACK(&GtkPictureBox::OnDraw), this);
  size_handler_ = g_signal_connect(widget_, "size-allocate", G_CALLBACK(&GtkPictureBox::OnSizeAllocate), this);
}

GtkPictureBox::~GtkPictureBox() {
  StopFrames();
  g_signal_handler_disconnect(widget_, draw_handler_);
  g_signal_handler_disconnect(widget_, size_handler_);
  g_object_unref(widget_);
}

void GtkPictureBox::Refresh() { gtk_widget_queue_draw(widget_); }

void GtkPictureBox::PaceFrames(std::function<bool()> on_frame) {
  on_frame_.Set(std::move(on_frame));
  if (!tick_) tick_ = gtk_widget_add_tick_callback(widget_, &GtkPictureBox::OnTick, this, nullptr);
}

void GtkPictureBox::StopFrames() {
  on_frame_.Set(nullptr);
  if (tick_ && !in_frame_) gtk_widget_remove_tick_callback(widget_, tick_);
  tick_ = 0;
}

gboolean GtkPictureBox::OnTick(GtkWidget*, GdkFrameClock*, gpointer self) {
  auto* box = static_cast<GtkPictureBox*>(self);
  box->RunFrame();
  return box->tick_ ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void GtkPictureBox::ScreenSize(int& width, int& height) {
  GtkAllocation a;
  gtk_widget_get_allocation(widget_, &a);
  width = a.width;
  height = a.height;
}

gboolean GtkPictureBox::OnDraw(GtkWidget*, cairo_t* cr, gpointer self) {
  auto* box = static_cast<GtkPictureBox*>(self);
  int width = 0, height = 0;
  box->ScreenSize(width, height);
  box->PaintOn(cr, width, height);
  return TRUE;
}

void GtkPictureBox::OnSizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer self) {
  static_cast<GtkPictureBox*>(self)->Resize(allocation->width, allocation->height);
}

XWindowPictureBox::XWindowPictureBox(GdkWindow* window) : window_(window) { g_object_ref(window_); }

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

void FreeBuffer(void* data) { std::free(data); }

// True when the window's pixels are laid out as Cairo's RGB24: 32 bits per
// pixel, 8 bits each for red, green and blue from the high bits down.
bool TakesCairoPixels(Display* display, Visual* visual, int depth) {
  if ((depth != 24 && depth != 32) || visual->red_mask != 0xff0000 || visual->green_mask != 0xff00 ||
      visual->blue_mask != 0xff)
    return false;
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  bool bits32 = false;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == depth) bits32 = formats[i].bits_per_pixel == 32;
  if (formats) XFree(formats);
  return bits32;
}

// Cairo's pixels are in the machine's byte order; Xlib converts them if
// the server's differs.
int CairoByteOrder() {
  const std::uint32_t probe = 1;
  return *reinterpret_cast<const unsigned char*>(&probe) == 1 ? LSBFirst : MSBFirst;
}

}  // namespace

// A buffer in a shared memory segment that the X server has attached.
struct XWindowPictureBox::SharedBuffer {
  Display* display = nullptr;
  XShmSegmentInfo segment{};
  XImage* image = nullptr;
  cairo_surface_t* surface = nullptr;  // a reference: the segment outlives it

  ~SharedBuffer() {
    if (surface) cairo_surface_destroy(surface);
    if (image) image->data = nullptr, XDestroyImage(image);
    if (display && segment.shmaddr) XShmDetach(display, &segment), XSync(display, False);
    if (segment.shmaddr) shmdt(segment.shmaddr);
  }
};

XWindowPictureBox::~XWindowPictureBox() {
  StopFrames();
  shared_.reset();
  g_object_unref(window_);
}

void XWindowPictureBox::ShareBuffer() {
  int width = 0, height = 0;
  if (sharing_failed_ || gdk_window_is_destroyed(window_) || !BufferSize(width, height)) return;
  if (shared_ && DrawnBuffer() == shared_->surface) return;
  shared_.reset();
  sharing_failed_ = true;  // until it works
  GdkDisplay* display = gdk_window_get_display(window_);
  Display* xdisplay = GDK_WINDOW_XDISPLAY(window_);
  GdkVisual* gdk_visual = gdk_window_get_visual(window_);
  Visual* visual = gdk_x11_visual_get_xvisual(gdk_visual);
  const int depth = gdk_visual_get_depth(gdk_visual);
  if (!XShmQueryExtension(xdisplay) || !TakesCairoPixels(xdisplay, visual, depth)) return;
  auto shared = std::make_unique<SharedBuffer>();
  shared->image = XShmCreateImage(xdisplay, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shared->segment,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (!shared->image || shared->image->bytes_per_line != cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width))
    return;
  const std::size_t bytes = static_cast<std::size_t>(shared->image->bytes_per_line) * static_cast<std::size_t>(height);
  shared->segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shared->segment.shmid < 0) return;
  void* memory = shmat(shared->segment.shmid, nullptr, 0);
  if (memory == reinterpret_cast<void*>(-1)) {
    shmctl(shared->segment.shmid, IPC_RMID, nullptr);
    return;
  }
  shared->segment.shmaddr = shared->image->data = static_cast<char*>(memory);
  shared->segment.readOnly = True;
  // A server on another machine cannot attach it: an error, trapped.
  gdk_x11_display_error_trap_push(display);
  const bool attached = XShmAttach(xdisplay, &shared->segment) && (XSync(xdisplay, False), true);
  const bool failed = gdk_x11_display_error_trap_pop(display) != 0;
  shmctl(shared->segment.shmid, IPC_RMID, nullptr);  // freed once both have let go
  if (!attached || failed) return;
  shared->display = xdisplay;
  shared->image->byte_order = CairoByteOrder();
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(memory), CAIRO_FORMAT_RGB24, width, height, shared->image->bytes_per_line);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return;
  }
  shared->surface = cairo_surface_reference(surface);
  AdoptBuffer(surface);
  shared_ = std::move(shared);
  sharing_failed_ = false;
}

bool XWindowPictureBox::PaintShared(cairo_surface_t* buffer, int x, int y, int width, int height) {
  if (!shared_ || buffer != shared_->surface) return false;
  cairo_surface_flush(buffer);
  GC gc = XCreateGC(shared_->display, GDK_WINDOW_XID(window_), 0, nullptr);
  XShmPutImage(shared_->display, GDK_WINDOW_XID(window_), gc, shared_->image, x, y, x, y,
               static_cast<unsigned>(width), static_cast<unsigned>(height), False);
  XFreeGC(shared_->display, gc);
  // The next frame is drawn into the same memory: the server must be done
  // reading it.
  XSync(shared_->display, False);
  return true;
}

void XWindowPictureBox::PaceFrames(std::function<bool()> on_frame) {
  on_frame_.Set(std::move(on_frame));
  ShareBuffer();
  if (clock_ || timer_) return;
  clock_ = gdk_window_is_destroyed(window_) ? nullptr : gdk_window_get_frame_clock(window_);
  if (clock_) {
    g_object_ref(clock_);
    update_handler_ = g_signal_connect(clock_, "update", G_CALLBACK(&XWindowPictureBox::OnClockUpdate), this);
    gdk_frame_clock_begin_updating(clock_);
  } else {
    timer_ = g_timeout_add(16, &XWindowPictureBox::OnTimer, this);
  }
}

void XWindowPictureBox::StopFrames() {
  on_frame_.Set(nullptr);
  if (clock_) {
    g_signal_handler_disconnect(clock_, update_handler_);
    gdk_frame_clock_end_updating(clock_);
    g_object_unref(clock_);
    clock_ = nullptr;
  }
  if (timer_ && !in_frame_) g_source_remove(timer_);
  timer_ = 0;
}

void XWindowPictureBox::OnClockUpdate(GdkFrameClock*, gpointer self) {
  static_cast<XWindowPictureBox*>(self)->RunFrame();
}

gboolean XWindowPictureBox::OnTimer(gpointer self) {
  auto* box = static_cast<XWindowPictureBox*>(self);
  box->RunFrame();
  return box->timer_ ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void XWindowPictureBox::ScreenSize(int& width, int& height) {
  width = height = 1;
  if (gdk_window_is_destroyed(window_)) return;
  Window root;
  int x, y;
  unsigned w = 1, h = 1, border, depth;
  GdkDisplay* display = gdk_window_get_display(window_);
  gdk_x11_display_error_trap_push(display);
  if (XGetGeometry(GDK_WINDOW_XDISPLAY(window_), GDK_WINDOW_XID(window_), &root, &x, &y, &w, &h, &border, &depth)) {
    width = static_cast<int>(w);
    height = static_cast<int>(h);
  }
  gdk_x11_display_error_trap_pop_ignored(display);
}

// In ordinary memory, asked for in huge pages: a full-screen buffer in small
// pages costs a thousand page faults, which on a virtual machine are slower
// than drawing the picture.
cairo_surface_t* XWindowPictureBox::NewSurface(int width, int height) {
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
  const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  if (stride <= 0 || bytes < kHugePage) return CairoPictureBox::NewSurface(width, height);
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* data = std::aligned_alloc(kHugePage, rounded);
  if (!data) return CairoPictureBox::NewSurface(width, height);
  madvise(data, rounded, MADV_HUGEPAGE);
  std::memset(data, 0, bytes);  // black
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(static_cast<unsigned char*>(data), CAIRO_FORMAT_RGB24, width, height, stride);
  static cairo_user_data_key_t key;
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_set_user_data(surface, &key, data, &FreeBuffer) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    std::free(data);
    return CairoPictureBox::NewSurface(width, height);
  }
  return surface;
}

void XWindowPictureBox::Refresh() {
  int width = 0, height = 0;
  if (BufferSize(width, height)) Paint(GdkRectangle{0, 0, width, height});
}

// Straight onto the X window, and through the connection rather than shared
// memory (see NewSurface): the picture shows the moment it is drawn.
void XWindowPictureBox::Paint(const GdkRectangle& area) {
  int width = 0, height = 0;
  if (gdk_window_is_destroyed(window_) || !BufferSize(width, height)) return;
  const int x = std::max(area.x, 0), y = std::max(area.y, 0);
  const int w = std::min(area.x + area.width, width) - x, h = std::min(area.y + area.height, height) - y;
  if (w <= 0 || h <= 0) return;
  GdkDisplay* display = gdk_window_get_display(window_);
  Display* xdisplay = GDK_WINDOW_XDISPLAY(window_);
  const Window xid = GDK_WINDOW_XID(window_);
  GdkVisual* gdk_visual = gdk_window_get_visual(window_);
  Visual* visual = gdk_x11_visual_get_xvisual(gdk_visual);
  const int depth = gdk_visual_get_depth(gdk_visual);
  gdk_x11_display_error_trap_push(display);  // a preview host may take the window away at any time
  cairo_surface_t* buffer = DrawnBuffer();
  if (PaintShared(buffer, x, y, w, h)) {
  } else if (!buffer || !TakesCairoPixels(xdisplay, visual, depth)) {
    cairo_surface_t* target = cairo_xlib_surface_create(xdisplay, xid, visual, width, height);
    cairo_t* cr = cairo_create(target);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    PaintOn(cr, width, height);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
  } else {
    cairo_surface_flush(buffer);
    XImage* image =
        XCreateImage(xdisplay, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                     reinterpret_cast<char*>(cairo_image_surface_get_data(buffer)), static_cast<unsigned>(width),
                     static_cast<unsigned>(height), 32, cairo_image_surface_get_stride(buffer));
    if (image) {
      image->byte_order = CairoByteOrder();
      GC gc = XCreateGC(xdisplay, xid, 0, nullptr);
      XPutImage(xdisplay, xid, gc, image, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
      XFreeGC(xdisplay, gc);
      image->data = nullptr;  // the buffer stays Cairo's
      XDestroyImage(image);
    }
  }
  XFlush(xdisplay);
  gdk_x11_display_error_trap_pop_ignored(display);
}
