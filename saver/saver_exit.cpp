#include "saver/saver_exit.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "platform/show_timers.h"
#include "platform/system.h"
#include "render/graphics.h"
#include "saver/power.h"

void EndSaver(const SaverEndServices& services, int exit_code) {
  if (services.timers.IsRunning()) services.timers.Stop();
  services.system.SetScreenSaverRunning(false);
  services.system.ShowCursor(true);
  services.power.RestoreSystemSettings();
  services.graphics.Stop();
  services.system.EndProcess(exit_code);
  std::abort();  // EndProcess never returns; a port that did would be a bug
}

void EndHackForWindow(WindowHandle window, const std::string& problem, const SaverEndServices& services) {
  std::fprintf(stderr, "glimmora: window 0x%" PRIxPTR " %s\n", static_cast<std::uintptr_t>(window), problem.c_str());
  EndSaver(services, 1);
}
