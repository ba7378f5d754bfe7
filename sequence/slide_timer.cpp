#include "sequence/slide_timer.h"

#include <string>

#include "options/options_dialog.h"
#include "render/canvas.h"
#include "render/renderer.h"
#include "saver/saver_form.h"
#include "sequence/next_picture.h"
#include "startup/engine_form.h"
#include "startup/program_state.h"

namespace {

constexpr const char* kNoFilesFound = "No files found :(";

// The options dialog's own preview: a single box, laid out at one tenth.
void DrawDialogPreview(ProgramState& state) {
  PictureBox* box = state.C ? state.C->picSaver() : nullptr;
  if (!box) return;
  if (state.PictureCount <= 0) {
    RenderPicture(state, "", state.ScanDone ? kNoFilesFound : "", box, false);
  } else {
    RenderPicture(state, NextPicture(state, state.CurrentSettings.Random), "", box, true);
  }
  box->Refresh();
}

// One picture per saver window, window 1 taking the first.
void DrawSaverWindows(ProgramState& state) {
  const bool preview = state.PreviewHost != 0;
  for (int i = 1; i <= state.MonitorCount; ++i) {
    if (i >= static_cast<int>(state.SaverWindows.size()) || !state.SaverWindows[i]) continue;
    PictureBox& box = state.SaverWindows[i]->picSaver();
    if (state.PictureCount < 1) {
      std::string message;
      if (state.ScanDone) message = preview ? PreviewCredit(state) + "\r\n" + kNoFilesFound : kNoFilesFound;
      RenderPicture(state, "", message, &box, false);
    } else {
      std::string path = NextPicture(state, state.CurrentSettings.Random);
      RenderPicture(state, path, preview ? PreviewCredit(state) : "", &box, preview);
    }
    box.Refresh();
  }
}

}  // namespace

std::string PreviewCredit(const ProgramState& state) { return state.ShortName + "\r\n" + "by" + state.CreditName; }

void tmrImmagine_Timer(ProgramState& state) {
  if (!EngineLoaded(state)) return;
  // Off for the length of the tick: ticks never overlap, and the next
  // interval counts from the end of this one.
  state.T->tmrImmagine().SetEnabled(false);
  Timer& timer = state.T->tmrImmagine();
  // The short start interval gives way to the setting once there is
  // something to show or nothing more will come.
  if (timer.Interval() != state.CurrentSettings.Interval && (state.PictureCount > 0 || state.ScanDone))
    timer.SetInterval(state.CurrentSettings.Interval);

  if (state.MonitorCount < 1) {
    DrawDialogPreview(state);
  } else if (!state.Sleeping) {
    DrawSaverWindows(state);
  }
  if (EngineLoaded(state)) state.T->tmrImmagine().SetEnabled(true);
}

void StartSlideTimer(ProgramState& state) {
  if (!state.C || !state.C->fraFrameVisible(2)) return;
  state.MonitorCount = 0;
  EngineForm& engine = Engine(state);
  engine.Load();  // touching T's timer loads T
  engine.tmrImmagine().SetEnabled(true);
  tmrImmagine_Timer(state);
}
