#include "sequence/slide_timer.h"

#include "render/canvas.h"
#include "render/renderer.h"
#include "saver/saver_form.h"
#include "startup/engine_form.h"
#include "startup/program_state.h"

// First cut: black frames until the slide show arrives.
void tmrImmagine_Timer(ProgramState& state) {
  if (!EngineLoaded(state)) return;
  Timer& timer = Engine(state).tmrImmagine();
  timer.SetEnabled(false);
  for (int i = 1; i <= state.MonitorCount; ++i) {
    PictureBox& box = state.SaverWindows[i]->picSaver();
    RenderPicture(state, "", "", &box, false);
    box.Refresh();
  }
  timer.SetEnabled(true);
}

void StartSlideTimer(ProgramState&) {}
