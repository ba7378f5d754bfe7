#include "saver/saver_exit.h"

#include <cstdlib>

#include "platform/engine.h"
#include "platform/system.h"
#include "render/graphics.h"

void EndSaver(Engine& engine, SystemPort& system, GraphicsSession& graphics) {
  if (engine.IsLoaded()) engine.Unload();
  system.SetScreenSaverRunning(false);
  system.ShowCursor(true);
  graphics.Stop();
  system.EndProcess(0);
  std::abort();  // EndProcess never returns; a port that did would be a bug
}
