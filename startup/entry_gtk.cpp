// Linux entry point: GTK start-up, the platform services, then Main and the
// event loop.
#include <fontconfig/fontconfig.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <thread>

#include "platform/event_loop.h"
#include "render/picture_decode_cairo.h"
#include "startup/platform_services.h"

int main(int argc, char** argv) {
  // The command line as the screen-saver host would pass it: the arguments only.
  std::string command_line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_line += ' ';
    command_line += argv[i];
  }
  // Reading the font configuration takes longer than the rest of start-up;
  // the first caption waits for it. Start it now so it overlaps GTK's start.
  std::thread fonts([] { FcInit(); });
  g_setenv("NO_AT_BRIDGE", "1", FALSE);
  // Nothing here draws with OpenGL, and GDK's GLX probe at start-up (loading
  // the driver, with a software one its compiler) took most of the time to
  // the first picture.
  g_setenv("GDK_GL", "disable", FALSE);
  g_set_prgname("glimmora");
  // GTK must not take "/S" and friends for its own options: give it none.
  int no_argc = 1;
  char** no_argv = argv;
  if (!gtk_init_check(&no_argc, &no_argv)) {
    std::fprintf(stderr, "glimmora: cannot open the display (is DISPLAY set?)\n");
    fonts.join();
    return 1;
  }
  // Only the loaders of the five formats stay: no other one ever runs here.
  RestrictPixbufLoaders();
  PlatformServices platform;
  Program program(platform.View());
  const int code = program.Main(command_line) ? platform.loop->Run() : 0;
  fonts.join();
  return code;
}
