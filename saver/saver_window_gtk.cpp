// GTK backend of the saver window (Linux): an undecorated popup window that
// is its own picture box, forwarding keys (as Windows key codes) and the mouse.
// Implemented: [x] topmost placement over a monitor, keyboard grab, cursor
//              [x] preview: reparented into the host X window
#include "saver/saver_window_gtk.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "platform/gtk_cursor.h"
#include "platform/picture_box_gtk.h"
#include "saver/keymap_gtk.h"

namespace {

class GtkSaverWindow final : public SaverWindow {
 public:
  explicit GtkSaverWindow(SaverWindowEvents& events) : events_(events) {
    window_ = gtk_window_new(GTK_WINDOW_POPUP);
    g_object_ref_sink(window_);
    gtk_widget_set_app_paintable(window_, TRUE);
    gtk_widget_add_events(window_, GDK_KEY_PRESS_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_POINTER_MOTION_MASK);
    gtk_widget_set_can_focus(window_, TRUE);
    box_ = std::make_unique<GtkPictureBox>(window_);
    g_signal_connect(window_, "key-press-event", G_CALLBACK(&GtkSaverWindow::OnKey), this);
    g_signal_connect(window_, "button-press-event", G_CALLBACK(&GtkSaverWindow::OnButton), this);
    g_signal_connect(window_, "button-release-event", G_CALLBACK(&GtkSaverWindow::OnButton), this);
    g_signal_connect(window_, "motion-notify-event", G_CALLBACK(&GtkSaverWindow::OnMotion), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(&GtkSaverWindow::OnDelete), this);
    g_signal_connect(window_, "map-event", G_CALLBACK(&GtkSaverWindow::OnMap), this);
    gtk_widget_realize(window_);
  }

  ~GtkSaverWindow() override {
    box_.reset();
    gtk_widget_destroy(window_);
    g_object_unref(window_);
  }

  WindowHandle Handle() const override {
    GdkWindow* w = gtk_widget_get_window(window_);
    return w ? static_cast<WindowHandle>(gdk_x11_window_get_xid(w)) : 0;
  }

  PictureBox& picSaver() override { return *box_; }

  void PlaceTopmost(int x, int y, int width, int height) override {
    box_->Resize(width, height);
    gtk_window_move(GTK_WINDOW(window_), x, y);
    gtk_window_resize(GTK_WINDOW(window_), width, height);
    gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
    gtk_widget_show(window_);
    gdk_window_raise(gtk_widget_get_window(window_));
    grab_keyboard_ = true;
  }

  void EmbedInto(WindowHandle host, const WindowRect& host_rect) override {
    int width = host_rect.right - host_rect.left;
    int height = host_rect.bottom - host_rect.top;
    box_->Resize(width, height);
    gtk_window_resize(GTK_WINDOW(window_), width, height);
    gtk_widget_show(window_);
    GdkWindow* gdk_window = gtk_widget_get_window(window_);
    Display* xdisplay = GDK_WINDOW_XDISPLAY(gdk_window);
    GdkDisplay* display = gdk_window_get_display(gdk_window);
    gdk_x11_display_error_trap_push(display);
    XReparentWindow(xdisplay, gdk_x11_window_get_xid(gdk_window), static_cast<Window>(host), 0, 0);
    XMoveResizeWindow(xdisplay, gdk_x11_window_get_xid(gdk_window), 0, 0, width, height);
    gdk_x11_display_error_trap_pop_ignored(display);
  }

 private:
  static gboolean OnMap(GtkWidget* widget, GdkEvent*, gpointer data) {
    auto* self = static_cast<GtkSaverWindow*>(data);
    GtkApplyCursor(widget);
    if (self->grab_keyboard_) {
      // A popup gets no focus from a window manager: take the keyboard, as
      // screen savers do, so keys reach the saver from anywhere.
      GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(widget));
      gdk_seat_grab(seat, gtk_widget_get_window(widget), GDK_SEAT_CAPABILITY_KEYBOARD, TRUE, nullptr, nullptr,
                    nullptr, nullptr);
    }
    return FALSE;
  }

  static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<GtkSaverWindow*>(data);
    self->events_.Form_KeyDown(VirtualKeyFromGdk(event->keyval), ShiftStateFromGdk(event->state));
    return TRUE;
  }

  static int ButtonOf(guint button) {
    switch (button) {
      case 1: return kButtonLeft;
      case 2: return kButtonMiddle;
      case 3: return kButtonRight;
      default: return kButtonNone;
    }
  }

  static gboolean OnButton(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkSaverWindow*>(data);
    int button = ButtonOf(event->button);
    int shift = ShiftStateFromGdk(event->state);
    float x = static_cast<float>(event->x), y = static_cast<float>(event->y);
    if (event->type == GDK_BUTTON_PRESS) self->events_.picSaver_MouseDown(button, shift, x, y);
    else if (event->type == GDK_BUTTON_RELEASE) self->events_.picSaver_MouseUp(button, shift, x, y);
    return TRUE;
  }

  static gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto* self = static_cast<GtkSaverWindow*>(data);
    int button = 0;
    if (event->state & GDK_BUTTON1_MASK) button |= kButtonLeft;
    if (event->state & GDK_BUTTON3_MASK) button |= kButtonRight;
    if (event->state & GDK_BUTTON2_MASK) button |= kButtonMiddle;
    self->events_.picSaver_MouseMove(button, ShiftStateFromGdk(event->state), static_cast<float>(event->x),
                                     static_cast<float>(event->y));
    return TRUE;
  }

  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<GtkSaverWindow*>(data);
    int cancel = 0;
    self->events_.Form_QueryUnload(cancel, kUnloadFromControlMenu);
    if (cancel == 0) self->events_.Form_Unload(cancel);
    return TRUE;  // the form decides; the window stays until it is unloaded
  }

  SaverWindowEvents& events_;
  GtkWidget* window_;
  std::unique_ptr<GtkPictureBox> box_;
  bool grab_keyboard_ = false;
};

}  // namespace

std::unique_ptr<SaverWindow> CreateGtkSaverWindow(SaverWindowEvents& events) {
  return std::make_unique<GtkSaverWindow>(events);
}
