#include "saver/saver_exit.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "platform/engine.h"
#include "platform/system.h"
#include "render/graphics.h"

void EndSaver(Engine& engine, SystemPort& system, GraphicsSession& graphics, int exit_code) {
  if (engine.IsLoaded()) engine.Unload();
  system.SetScreenSaverRunning(false);
  system.ShowCursor(true);
  graphics.Stop();
  system.EndProcess(exit_code);
  std::abort();  // EndProcess never returns; a port that did would be a bug
}

void EndHackForWindow(WindowHandle window, const std::string& problem, Engine& engine, SystemPort& system,
                      GraphicsSession& graphics) {
  std::fprintf(stderr, "glimmora: window 0x%" PRIxPTR " %s\n", static_cast<std::uintptr_t>(window), problem.c_str());
  EndSaver(engine, system, graphics, 1);
}
