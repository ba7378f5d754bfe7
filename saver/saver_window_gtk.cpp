// GTK backend of the saver window (Linux): an undecorated popup window that
// is its own picture box, forwarding keys (as Windows key codes) and the mouse.
// Implemented: [x] topmost placement over a monitor (exact physical pixels),
//                  keyboard grab, cursor hidden with the program's cursor counter
//              [x] preview: a child of the host X window; its destruction unloads the form
//              [x] the pointer's place reported as a mouse move when it enters the window, as
//                  Windows reports it when a window appears under the pointer
#include "saver/saver_window_gtk.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>

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
                                       GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK);
    gtk_widget_set_can_focus(window_, TRUE);
    box_ = std::make_unique<GtkPictureBox>(window_);
    g_signal_connect(window_, "key-press-event", G_CALLBACK(&GtkSaverWindow::OnKey), this);
    g_signal_connect(window_, "button-press-event", G_CALLBACK(&GtkSaverWindow::OnButton), this);
    g_signal_connect(window_, "button-release-event", G_CALLBACK(&GtkSaverWindow::OnButton), this);
    g_signal_connect(window_, "motion-notify-event", G_CALLBACK(&GtkSaverWindow::OnMotion), this);
    g_signal_connect(window_, "enter-notify-event", G_CALLBACK(&GtkSaverWindow::OnEnter), this);
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

  // Monitor rectangles are physical pixels; GTK places windows in its own
  // (scaled) units, so the X window is set to the exact rectangle as well.
  void PlaceTopmost(int x, int y, int width, int height) override {
    int scale = std::max(1, gtk_widget_get_scale_factor(window_));
    box_->Resize(std::max(1, width / scale), std::max(1, height / scale));
    gtk_window_move(GTK_WINDOW(window_), x / scale, y / scale);
    gtk_window_resize(GTK_WINDOW(window_), std::max(1, width / scale), std::max(1, height / scale));
    gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
    grab_keyboard_ = true;
    gtk_widget_show(window_);
    SetXGeometry(0, x, y, width, height);
    gdk_window_raise(gtk_widget_get_window(window_));
  }

  // Like an XScreenSaver hack given its window: the saver window becomes a
  // child of the host X window, at its corner with its size, before it is
  // ever shown, so nothing flashes on the screen. When the host goes away
  // (the preview closes), so does this window, and the form hears of it.
  void EmbedInto(WindowHandle host, const WindowRect& host_rect) override {
    int width = std::max(1, host_rect.right - host_rect.left);
    int height = std::max(1, host_rect.bottom - host_rect.top);
    int scale = std::max(1, gtk_widget_get_scale_factor(window_));
    box_->Resize(std::max(1, width / scale), std::max(1, height / scale));
    gtk_window_move(GTK_WINDOW(window_), 0, 0);
    gtk_window_resize(GTK_WINDOW(window_), std::max(1, width / scale), std::max(1, height / scale));
    g_signal_connect(window_, "destroy-event", G_CALLBACK(&GtkSaverWindow::OnHostGone), this);
    SetXGeometry(static_cast<Window>(host), 0, 0, width, height);
    gtk_widget_show(window_);
    SetXGeometry(0, 0, 0, width, height);
  }

 private:
  // Reparents into new_parent (unless 0), then moves and resizes the X
  // window; errors (a host that vanished) are ignored here and reported by
  // the window's destruction.
  void SetXGeometry(Window new_parent, int x, int y, int width, int height) {
    GdkWindow* gdk_window = gtk_widget_get_window(window_);
    if (!gdk_window) return;
    Display* xdisplay = GDK_WINDOW_XDISPLAY(gdk_window);
    GdkDisplay* display = gdk_window_get_display(gdk_window);
    Window self = gdk_x11_window_get_xid(gdk_window);
    gdk_x11_display_error_trap_push(display);
    if (new_parent != 0) XReparentWindow(xdisplay, self, new_parent, x, y);
    XMoveResizeWindow(xdisplay, self, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(xdisplay);
    gdk_x11_display_error_trap_pop_ignored(display);
  }

  // The X window was destroyed from outside: in preview, the host closed.
  static gboolean OnHostGone(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<GtkSaverWindow*>(data);
    int cancel = 0;
    self->events_.Form_Unload(cancel);
    return TRUE;
  }

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
    self->events_.Form_KeyDown(VirtualKeyFromEvent(event), ShiftStateFromGdk(event->state));
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

  static int ButtonsHeld(guint state) {
    int button = 0;
    if (state & GDK_BUTTON1_MASK) button |= kButtonLeft;
    if (state & GDK_BUTTON3_MASK) button |= kButtonRight;
    if (state & GDK_BUTTON2_MASK) button |= kButtonMiddle;
    return button;
  }

  static gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto* self = static_cast<GtkSaverWindow*>(data);
    self->events_.picSaver_MouseMove(ButtonsHeld(event->state), ShiftStateFromGdk(event->state),
                                     static_cast<float>(event->x), static_cast<float>(event->y));
    return TRUE;
  }

  // X reports no motion when a window appears under the pointer, Windows
  // does: the form takes that first report as the pointer's resting place,
  // so the user's first real movement ends the saver on both.
  static gboolean OnEnter(GtkWidget*, GdkEventCrossing* event, gpointer data) {
    auto* self = static_cast<GtkSaverWindow*>(data);
    self->events_.picSaver_MouseMove(ButtonsHeld(event->state), ShiftStateFromGdk(event->state),
                                     static_cast<float>(event->x), static_cast<float>(event->y));
    return FALSE;
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
