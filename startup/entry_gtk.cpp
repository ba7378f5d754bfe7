// Linux entry point: GTK start-up, the platform services, then Main (or, for
// XScreenSaver's flags, MainHack) and the event loop.
#include <fontconfig/fontconfig.h>
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <malloc.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "decode/metafile_player_gtk.h"
#include "startup/command_line.h"
#include "reader/reader_server.h"
#include "startup/platform_services.h"
#include "startup/program_icon_gtk.h"

namespace {

// A daemon stops its hack with SIGTERM, a terminal with SIGINT. GLib runs
// this from the event loop, on the UI thread, so the show ends through its
// orderly end (which ends the process at once, whatever else still runs).
gboolean EndOnSignal(gpointer program) { static_cast<Program*>(program)->EndShow(); }

}  // namespace

int main(int argc, char** argv) {
  // Started by the saver as its reader: serves it and ends there. The reader
  // plays metafiles with gdk-pixbuf, no other of its loaders.
  RunAsReaderIfStartedAsOne(RestrictPixbufLoaders);
  // Pictures pass through buffers of many megabytes, made on the picture
  // worker. The allocator would serve them from its heaps once one such
  // buffer had been freed, and what is freed there stays resident: over a
  // long show that grew by tens of megabytes past the picture budget. Each
  // buffer of a megabyte or more gets pages of its own instead, which go
  // back to the system when it is freed.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const HackCommand hack = ParseHackCommand(args, std::getenv("XSCREENSAVER_WINDOW"));
  if (!hack.error.empty()) {
    std::fprintf(stderr, "glimmora: %s\n", hack.error.c_str());
    return 1;
  }
  // The command line as the screen-saver host would pass it: the arguments only.
  std::string command_line;
  for (const std::string& arg : args) command_line += (command_line.empty() ? "" : " ") + arg;
  // Reading the font configuration takes longer than the rest of start-up;
  // the first caption waits for it. Start it now so it overlaps GTK's start.
  std::thread fonts([] { FcInit(); });
  g_setenv("NO_AT_BRIDGE", "1", FALSE);
  // Nothing here draws with OpenGL, and GDK's GLX probe at start-up loads
  // the driver (with a software one, its compiler) before the first picture.
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
  SetProgramIcon();
  PlatformServices platform;
  Program program(platform.View());
  bool run = true;
  if (hack.is_hack) {
    g_unix_signal_add(SIGTERM, &EndOnSignal, &program);
    g_unix_signal_add(SIGINT, &EndOnSignal, &program);
    const WindowHandle root = static_cast<WindowHandle>(GDK_WINDOW_XID(gdk_get_default_root_window()));
    program.MainHack(hack.window != 0 ? hack.window : root);
  } else {
    run = program.Main(command_line);
  }
  if (run) program.RunToTheEnd();
  fonts.join();
  return 0;
}
