// Memory over many slides: sets up the saver (/S) on the real platform (GTK
// windows, the Cairo canvas, real picture files, the settings store), then
// calls the slide tick in a loop instead of waiting for the interval, each
// frame followed by one turn of the event loop (which paints it). Prints the
// resident set and the open file descriptors every so many frames.
// Needs a display and a settings store whose ImageDirectory holds pictures:
// bench/slide_show_bench.sh prepares both (docs/benchmarks.md).
// Usage: slide_memory_bench [frames] [every]   (default 10000 1000)
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/event_loop.h"
#include "sequence/slide_show.h"
#include "startup/platform_services.h"

namespace {

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

long OpenDescriptors() {
  long n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  const long frames = argc > 1 ? std::atol(argv[1]) : 10000;
  const long every = argc > 2 ? std::max(1L, std::atol(argv[2])) : 1000;
  g_setenv("GDK_GL", "disable", FALSE);
  int no_argc = 1;
  if (!gtk_init_check(&no_argc, &argv)) {
    std::fprintf(stderr, "slide_memory_bench: no display\n");
    return 1;
  }
  PlatformServices platform;
  Program program(platform.View());
  if (!program.Main("/S")) return 1;
  const Catalogue& catalogue = program.catalogue();
  // The walk runs from the scan timer; the catalogue is complete before the count starts.
  for (int i = 0; i < 30000 && !catalogue.ScanDone(); ++i) {
    platform.loop->ProcessPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::printf("pictures %d, scan done %s\n", catalogue.PictureCount(), catalogue.ScanDone() ? "yes" : "no");
  std::printf("%8s %10s %6s %10s\n", "frame", "rss_kb", "fds", "ms/frame");
  std::printf("%8d %10ld %6ld %10s\n", 0, ResidentKilobytes(), OpenDescriptors(), "-");
  auto start = std::chrono::steady_clock::now();
  for (long frame = 1; frame <= frames; ++frame) {
    program.show().OnSlideTimer();
    platform.loop->ProcessPendingEvents();
    if (frame % every != 0) continue;
    const auto now = std::chrono::steady_clock::now();
    const double ms = std::chrono::duration<double, std::milli>(now - start).count() / every;
    start = now;
    std::printf("%8ld %10ld %6ld %10.1f\n", frame, ResidentKilobytes(), OpenDescriptors(), ms);
    std::fflush(stdout);
  }
  return 0;
}
