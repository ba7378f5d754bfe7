// GTK/X11 backend of the window-system port (Linux).
// Window handles are X window ids. A top-level window (whose parent is the
// root, or a window manager's frame) counts as its own parent, so any valid
// window given on the command line is accepted, as XScreenSaver hands a hack
// its window; an id that names no window has no parent.
#include <X11/Xatom.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "platform/window_system.h"

namespace {

class GtkWindowSystem final : public WindowSystem {
 public:
  WindowHandle GetParent(WindowHandle window) override {
    Display* xdisplay = XDisplay();
    if (!xdisplay || window <= 0) return 0;
    GdkDisplay* display = gdk_display_get_default();
    gdk_x11_display_error_trap_push(display);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Status ok = XQueryTree(xdisplay, static_cast<Window>(window), &root, &parent, &children, &count);
    if (children) XFree(children);
    bool top_level = ok && (parent == root || IsClientWindow(xdisplay, static_cast<Window>(window)));
    int error = gdk_x11_display_error_trap_pop(display);
    if (!ok || error) return 0;
    // A top-level window stands for itself: its X parent is the root or a
    // window manager's frame, neither of which is the caller's window.
    return static_cast<WindowHandle>(top_level ? static_cast<Window>(window) : parent);
  }

  // The outer rectangle, as Windows counts it: the border, and the window
  // manager's frame when one is drawn around the window.
  bool GetNormalRect(WindowHandle window, WindowRect* rect) override {
    Display* xdisplay = XDisplay();
    if (!xdisplay || window <= 0) return false;
    GdkDisplay* display = gdk_display_get_default();
    gdk_x11_display_error_trap_push(display);
    Window w = static_cast<Window>(window);
    XWindowAttributes attributes;
    Status ok = XGetWindowAttributes(xdisplay, w, &attributes);
    int x = 0, y = 0;
    Window child;
    long frame[4] = {0, 0, 0, 0};  // left, right, top, bottom
    if (ok) {
      int border = attributes.border_width;
      XTranslateCoordinates(xdisplay, w, attributes.root, -border, -border, &x, &y, &child);
      attributes.width += 2 * border;
      attributes.height += 2 * border;
      FrameExtents(xdisplay, w, frame);
    }
    int error = gdk_x11_display_error_trap_pop(display);
    if (!ok || error) return false;
    *rect = WindowRect{static_cast<int>(x - frame[0]), static_cast<int>(y - frame[2]),
                       static_cast<int>(x + attributes.width + frame[1]),
                       static_cast<int>(y + attributes.height + frame[3])};
    return true;
  }

  // X has no disabled state for another client's window; the options dialog
  // is made transient for its owner instead.
  void EnableWindow(WindowHandle, bool) override {}
  void SetNotTopmost(WindowHandle) override {}

 private:
  static void FrameExtents(Display* xdisplay, Window window, long extents[4]) {
    Atom atom = XInternAtom(xdisplay, "_NET_FRAME_EXTENTS", True);
    if (atom == None) return;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(xdisplay, window, atom, 0, 4, False, XA_CARDINAL, &type, &format, &items, &after, &data) ==
            Success &&
        format == 32 && items == 4 && data) {
      const long* values = reinterpret_cast<const long*>(data);
      for (int i = 0; i < 4; ++i) extents[i] = values[i] >= 0 && values[i] < 1000 ? values[i] : 0;
    }
    if (data) XFree(data);
  }

  // A client's top-level window carries WM_STATE once a window manager
  // manages it (and sits inside the manager's frame).
  static bool IsClientWindow(Display* xdisplay, Window window) {
    Atom wm_state = XInternAtom(xdisplay, "WM_STATE", True);
    if (wm_state == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    int status = XGetWindowProperty(xdisplay, window, wm_state, 0, 2, False, AnyPropertyType, &type, &format, &items,
                                    &after, &data);
    if (data) XFree(data);
    return status == Success && type != None;
  }

  static Display* XDisplay() {
    GdkDisplay* display = gdk_display_get_default();
    return display && GDK_IS_X11_DISPLAY(display) ? GDK_DISPLAY_XDISPLAY(display) : nullptr;
  }
};

}  // namespace

std::unique_ptr<WindowSystem> CreatePlatformWindowSystem() { return std::make_unique<GtkWindowSystem>(); }
