// The GTK saver window: exact placement over a monitor rectangle and
// embedding into a foreign X window. Needs an X display (the end-to-end
// scripts run these under their own server); skipped without one.
// GoogleTest first: X11 defines None as a macro.
#include <gtest/gtest.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "saver/recording_saver_events.h"
#include "saver/saver_window_gtk.h"

namespace {

class GtkSaverWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!gtk_init_check(nullptr, nullptr)) GTEST_SKIP() << "no X display";
    x_ = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
  }
  // Processes X and GTK events until the condition holds or a second passes.
  template <typename Condition>
  bool PumpUntil(Condition done) {
    for (int i = 0; i < 100 && !done(); ++i) {
      XSync(x_, False);
      while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
      g_usleep(10000);
    }
    return done();
  }
  // Position relative to the root window and size.
  WindowRect Geometry(Window w) {
    XWindowAttributes a;
    XGetWindowAttributes(x_, w, &a);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(x_, w, a.root, 0, 0, &x, &y, &child);
    return WindowRect{x, y, x + a.width, y + a.height};
  }
  Window ParentOf(Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(x_, w, &root, &parent, &children, &count);
    if (children) XFree(children);
    return parent;
  }
  Display* x_ = nullptr;
};

TEST_F(GtkSaverWindowTest, PlaceTopmostCoversTheRectangleExactly) {
  RecordingSaverEvents events;
  auto window = CreateGtkSaverWindow(events);
  window->PlaceTopmost(30, 40, 320, 200);
  Window w = static_cast<Window>(window->Handle());
  ASSERT_TRUE(PumpUntil([&] {
    WindowRect r = Geometry(w);
    return r.left == 30 && r.top == 40 && r.right == 350 && r.bottom == 240;
  }));
  XWindowAttributes a;
  XGetWindowAttributes(x_, w, &a);
  EXPECT_EQ(a.map_state, IsViewable);
  EXPECT_TRUE(a.override_redirect);
}

TEST_F(GtkSaverWindowTest, EmbedsIntoAForeignWindowAndUnloadsWhenItGoes) {
  Window host = XCreateSimpleWindow(x_, DefaultRootWindow(x_), 60, 70, 152, 112, 0, 0, 0);
  XMapWindow(x_, host);
  XSync(x_, False);
  RecordingSaverEvents events;
  auto window = CreateGtkSaverWindow(events);
  window->EmbedInto(static_cast<WindowHandle>(host), WindowRect{60, 70, 212, 182});
  Window w = static_cast<Window>(window->Handle());
  ASSERT_TRUE(PumpUntil([&] { return ParentOf(w) == host; }));
  ASSERT_TRUE(PumpUntil([&] {
    WindowRect r = Geometry(w);
    return r.left == 60 && r.top == 70 && r.right == 212 && r.bottom == 182;
  }));
  EXPECT_EQ(events.unloads, 0);
  XDestroyWindow(x_, host);
  EXPECT_TRUE(PumpUntil([&] { return events.unloads == 1; }));
}

}  // namespace
