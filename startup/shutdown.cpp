#include "startup/shutdown.h"

#include <cstdlib>

#include "platform/system.h"
#include "startup/engine_form.h"
#include "startup/graphics.h"
#include "startup/program_state.h"

void EndSaver(ProgramState& state) {
  if (EngineLoaded(state)) state.T->Unload();
  state.ports.system->SetScreenSaverRunning(false);
  state.ports.system->ShowCursor(true);
  StopGdiplus(state);
  state.ports.system->EndProcess(0);
  std::abort();  // EndProcess never returns; a port that did would be a bug
}
