// Monitor discovery over the real Linux display port (XRandR outputs).
#include <gtk/gtk.h>

#include "startup/expected_monitors.h"

TEST(LinuxDisplay, FindsTheMonitorsOfTheXScreen) {
  gtk_init_check(nullptr, nullptr);  // the port reads GDK's display
  ExpectPlatformMonitors();
}
