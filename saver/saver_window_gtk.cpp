// GTK backend of the saver window (Linux): a bare override-redirect GDK
// window that is its own picture box, forwarding keys (as Windows key codes)
// and the mouse. No GTK widget: a widget would load the GTK theme and paint
// through a buffer on the X server, delaying the first picture.
// When the pointer enters the window its place is reported as a mouse move,
// as Windows reports it when a window appears under the pointer.
#include "saver/saver_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>

#include "platform/gtk_cursor.h"
#include "render/picture_box_gtk.h"
#include "platform/keyboard_gtk.h"

namespace {

constexpr char kOwnerKey[] = "glimmora-saver-window";

class GdkSaverWindow final : public SaverWindow {
 public:
  explicit GdkSaverWindow(SaverWindowEvents& events) : events_(events) {
    InstallEventRoute();
    GdkWindowAttr attributes{};
    attributes.window_type = GDK_WINDOW_TEMP;  // override-redirect: no window manager in the way
    attributes.wclass = GDK_INPUT_OUTPUT;
    attributes.width = 1;
    attributes.height = 1;
    attributes.event_mask = GDK_EXPOSURE_MASK | GDK_KEY_PRESS_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                            GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK | GDK_STRUCTURE_MASK;
    window_ = gdk_window_new(nullptr, &attributes, 0);
    g_object_ref(window_);
    g_object_set_data(G_OBJECT(window_), kOwnerKey, this);
    // The server clears what it shows of the window to black before the
    // first frame arrives, not to whatever was under it.
    Display* xdisplay = GDK_WINDOW_XDISPLAY(window_);
    XSetWindowBackground(xdisplay, GDK_WINDOW_XID(window_), BlackPixel(xdisplay, DefaultScreen(xdisplay)));
    // Named as GTK names the program's other windows, for tools that look
    // windows up by class.
    XClassHint hint{const_cast<char*>(g_get_prgname()), const_cast<char*>(gdk_get_program_class())};
    if (hint.res_name && hint.res_class) XSetClassHint(xdisplay, GDK_WINDOW_XID(window_), &hint);
    // The program's icon, set at start-up for all its windows, for the
    // tools that list windows.
    if (GList* icons = gtk_window_get_default_icon_list()) {
      gdk_window_set_icon_list(window_, icons);
      g_list_free(icons);
    }
    box_ = std::make_unique<XWindowPictureBox>(window_);
  }

  ~GdkSaverWindow() override {
    if (host_ != 0) gdk_window_remove_filter(nullptr, &GdkSaverWindow::OnHostEvent, this);
    g_object_set_data(G_OBJECT(window_), kOwnerKey, nullptr);
    box_.reset();
    if (!gdk_window_is_destroyed(window_)) gdk_window_destroy(window_);
    g_object_unref(window_);
  }

  WindowHandle Handle() const override {
    return gdk_window_is_destroyed(window_) ? 0 : static_cast<WindowHandle>(GDK_WINDOW_XID(window_));
  }

  PictureBox& Surface() override { return *box_; }

  // Monitor rectangles are physical pixels; GDK places windows in its own
  // (scaled) units, so the X window is set to the exact rectangle as well.
  void PlaceTopmost(int x, int y, int width, int height, bool grab_keyboard) override {
    int scale = Scale();
    box_->Resize(width, height);
    gdk_window_move_resize(window_, x / scale, y / scale, std::max(1, width / scale), std::max(1, height / scale));
    grab_keyboard_ = grab_keyboard;
    SetXGeometry(0, x, y, width, height);
    gdk_window_show(window_);
  }

  // The saver window becomes a child of the host X window, at its corner
  // with its size, before it is ever shown, so nothing flashes on the
  // screen. When the host goes away (the preview closes, the daemon drops
  // its window), so does this window, and the saver screen hears of it; a host that
  // is gone before it can be entered counts the same.
  void EmbedInto(WindowHandle host, const WindowRect& host_rect, bool take_input) override {
    int width = std::max(1, host_rect.right - host_rect.left);
    int height = std::max(1, host_rect.bottom - host_rect.top);
    int scale = Scale();
    box_->Resize(width, height);
    gdk_window_move_resize(window_, 0, 0, std::max(1, width / scale), std::max(1, height / scale));
    // Events a window does not select go on to its parent: the daemon's.
    if (!take_input) gdk_window_set_events(window_, static_cast<GdkEventMask>(GDK_EXPOSURE_MASK | GDK_STRUCTURE_MASK));
    embedded_ = true;
    if (!SetXGeometry(static_cast<Window>(host), 0, 0, width, height)) {
      bool cancel = false;
      events_.OnClosed(cancel);
      return;
    }
    FollowHost(static_cast<Window>(host));
    gdk_window_show(window_);
    SetXGeometry(0, 0, 0, width, height);
  }

 private:
  int Scale() const { return std::max(1, gdk_window_get_scale_factor(window_)); }

  // Another client's window sends GDK nothing: its size changes come
  // through a filter on every X event, after asking the server for them
  // (adding to, not replacing, what this client already asked of it).
  // Drawn into the root window, the show lies below every other window,
  // as the desktop's background does.
  void FollowHost(Window host) {
    Display* xdisplay = GDK_WINDOW_XDISPLAY(window_);
    GdkDisplay* display = gdk_window_get_display(window_);
    host_ = host;
    gdk_window_add_filter(nullptr, &GdkSaverWindow::OnHostEvent, this);
    gdk_x11_display_error_trap_push(display);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(xdisplay, host, &attributes))
      XSelectInput(xdisplay, host, attributes.your_event_mask | StructureNotifyMask);
    if (host == DefaultRootWindow(xdisplay)) XLowerWindow(xdisplay, GDK_WINDOW_XID(window_));
    gdk_x11_display_error_trap_pop_ignored(display);
  }

  static GdkFilterReturn OnHostEvent(GdkXEvent* xevent, GdkEvent*, gpointer data) {
    auto* self = static_cast<GdkSaverWindow*>(data);
    const XEvent* event = static_cast<const XEvent*>(xevent);
    if (event->type == ConfigureNotify && event->xconfigure.window == self->host_) {
      const int width = std::max(1, event->xconfigure.width), height = std::max(1, event->xconfigure.height);
      int scale = self->Scale();
      // The frame drawn so far stays at the corner; the next one fills the new size.
      self->box_->Resize(width, height);
      gdk_window_resize(self->window_, std::max(1, width / scale), std::max(1, height / scale));
      self->SetXGeometry(0, 0, 0, width, height);
    }
    return GDK_FILTER_CONTINUE;
  }

  // Events of the saver windows come here instead of GTK, which has no
  // widget for them; everything else goes on to GTK.
  static void InstallEventRoute() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    gdk_event_handler_set(&GdkSaverWindow::RouteEvent, nullptr, nullptr);
  }

  static void RouteEvent(GdkEvent* event, gpointer) {
    GdkWindow* window = event->any.window;
    auto* self = window ? static_cast<GdkSaverWindow*>(g_object_get_data(G_OBJECT(window), kOwnerKey)) : nullptr;
    if (self)
      self->OnEvent(event);  // may unload the saver screen and delete self
    else
      gtk_main_do_event(event);
  }

  void OnEvent(GdkEvent* event) {
    switch (event->type) {
      case GDK_EXPOSE: {
        int scale = Scale();
        const GdkRectangle& a = event->expose.area;
        box_->Paint(GdkRectangle{a.x * scale, a.y * scale, a.width * scale, a.height * scale});
        break;
      }
      case GDK_MAP: OnMap(); break;
      case GDK_KEY_PRESS:
        events_.OnKeyDown(VirtualKeyFromEvent(&event->key), ShiftStateFromGdk(event->key.state));
        break;
      case GDK_BUTTON_PRESS:
      case GDK_BUTTON_RELEASE: OnButton(event->button); break;
      case GDK_MOTION_NOTIFY: MouseMove(event->motion.state, event->motion.x, event->motion.y); break;
      // X reports no motion when a window appears under the pointer, Windows
      // does: the saver screen takes that first report as the pointer's resting place,
      // so the user's first real movement ends the saver on both.
      case GDK_ENTER_NOTIFY: MouseMove(event->crossing.state, event->crossing.x, event->crossing.y); break;
      case GDK_DELETE: {
        bool cancel = false;
        events_.OnCloseRequest(cancel, CloseReason::User);
        if (!cancel) events_.OnClosed(cancel);
        break;  // the saver screen decides; the window stays until it is unloaded
      }
      case GDK_DESTROY:  // destroyed from outside: in preview, the host closed
        if (embedded_) {
          bool cancel = false;
          events_.OnClosed(cancel);
        }
        break;
      default: break;
    }
  }

  void OnMap() {
    GtkApplyCursor(window_);
    if (grab_keyboard_) {
      // An override-redirect window gets no focus from a window manager:
      // take the keyboard, as screen savers do, so keys reach the saver.
      GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window_));
      gdk_seat_grab(seat, window_, GDK_SEAT_CAPABILITY_KEYBOARD, TRUE, nullptr, nullptr, nullptr, nullptr);
    }
  }

  static int ButtonOf(guint button) {
    switch (button) {
      case 1: return kButtonLeft;
      case 2: return kButtonMiddle;
      case 3: return kButtonRight;
      default: return kButtonNone;
    }
  }

  void OnButton(const GdkEventButton& event) {
    int button = ButtonOf(event.button);
    int shift = ShiftStateFromGdk(event.state);
    auto x = static_cast<float>(event.x * Scale()), y = static_cast<float>(event.y * Scale());
    if (event.type == GDK_BUTTON_PRESS)
      events_.OnMouseDown(button, shift, x, y);
    else
      events_.OnMouseUp(button, shift, x, y);
  }

  void MouseMove(guint state, double x, double y) {
    int button = 0;
    if (state & GDK_BUTTON1_MASK) button |= kButtonLeft;
    if (state & GDK_BUTTON3_MASK) button |= kButtonRight;
    if (state & GDK_BUTTON2_MASK) button |= kButtonMiddle;
    events_.OnMouseMove(button, ShiftStateFromGdk(state), static_cast<float>(x * Scale()),
                        static_cast<float>(y * Scale()));
  }

  // Reparents into new_parent (unless 0), then moves and resizes the X
  // window. False when reparenting failed (the host is gone); other errors
  // (a host that vanished since) are reported by the window's destruction.
  bool SetXGeometry(Window new_parent, int x, int y, int width, int height) {
    if (gdk_window_is_destroyed(window_)) return false;
    Display* xdisplay = GDK_WINDOW_XDISPLAY(window_);
    GdkDisplay* display = gdk_window_get_display(window_);
    Window self = GDK_WINDOW_XID(window_);
    gdk_x11_display_error_trap_push(display);
    if (new_parent != 0) XReparentWindow(xdisplay, self, new_parent, x, y);
    XMoveResizeWindow(xdisplay, self, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (new_parent == 0) {
      XFlush(xdisplay);
      gdk_x11_display_error_trap_pop_ignored(display);
      return true;
    }
    return gdk_x11_display_error_trap_pop(display) == 0;  // waits for the server's answer
  }

  SaverWindowEvents& events_;
  GdkWindow* window_;
  std::unique_ptr<XWindowPictureBox> box_;
  bool grab_keyboard_ = false;
  bool embedded_ = false;
  Window host_ = 0;  // the window embedded into, whose size this one keeps
};

}  // namespace

std::unique_ptr<SaverWindow> CreatePlatformSaverWindow(SaverWindowEvents& events) {
  return std::make_unique<GdkSaverWindow>(events);
}
