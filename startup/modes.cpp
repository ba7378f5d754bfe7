#include "startup/modes.h"

#include <cmath>
#include <vector>

#include "catalogue/catalogue.h"
#include "options/options_dialog.h"
#include "options/options_window.h"
#include "platform/event_loop.h"
#include "platform/system.h"
#include "saver/saver_form.h"
#include "sequence/slide_timer.h"
#include "startup/engine_form.h"
#include "startup/monitors.h"
#include "startup/program_state.h"

namespace {

// The dialog keeps its distance from the corner of the window that owns it.
constexpr int kOwnerOffset = 32;
// DebugSkipMonitor keeps monitor 1 usable: its window takes a fifth of it.
constexpr int kSkipMonitorDivisor = 5;

void StartScanAndShow(ProgramState& state) {
  EngineForm& engine = Engine(state);
  state.ScanDone = false;
  engine.tmrScansione().SetEnabled(true);
  state.ports.loop->DoEvents();
  // Input handled during the yield may have ended the saver and unloaded T.
  if (!engine.IsLoaded()) return;
  engine.tmrImmagine().SetEnabled(true);
  tmrImmagine_Timer(state);
}

void CreateSaverWindows(ProgramState& state, int count) {
  state.SaverWindows.clear();
  state.SaverWindows.resize(static_cast<std::size_t>(count) + 1);
  for (int i = 1; i <= count; ++i) {
    state.SaverWindows[i] = std::make_unique<SaverForm>(state);
    state.SaverWindows[i]->Load();
  }
}

}  // namespace

void RunSaverMode(ProgramState& state) {
  state.CurrentIndex = -1;
  std::vector<MonitorRecord> monitors;
  state.MonitorCount = EnumerateMonitors(*state.ports.display, monitors);
  // No monitor on the desktop: nothing to show, and a count of 0 would mean
  // the options dialog's preview to the slide timer.
  if (state.MonitorCount < 1) state.ports.system->EndProcess(0);
  if (!state.DebugSkipMonitor) state.ports.system->ShowCursor(false);
  state.ports.system->SetScreenSaverRunning(false);
  state.ports.system->SetScreenSaverRunning(true);

  state.SaverWindows.clear();
  state.SaverWindows.resize(static_cast<std::size_t>(state.MonitorCount) + 1);
  for (int i = 1; i <= state.MonitorCount; ++i) {
    state.SaverWindows[i] = std::make_unique<SaverForm>(state);
    state.SaverWindows[i]->Load();
    const MonitorRecord& m = monitors[i];
    auto width = static_cast<std::int16_t>(m.Right - m.Left);
    auto height = static_cast<std::int16_t>(m.Bottom - m.Top);
    if (i == 1 && state.DebugSkipMonitor) {
      width = static_cast<std::int16_t>(width / kSkipMonitorDivisor);
      height = static_cast<std::int16_t>(height / kSkipMonitorDivisor);
    }
    state.SaverWindows[i]->Window().PlaceTopmost(m.Left, m.Top, width, height);
  }

  state.ScanDone = false;
  Engine(state).Load();
  SeedCatalogue(state);
  StartScanAndShow(state);
}

void RunPreviewMode(ProgramState& state, WindowHandle host) {
  state.PreviewHost = host;
  if (state.ports.windows->GetParent(state.PreviewHost) == 0) state.ports.system->EndProcess(0);
  state.ScanDone = false;
  Engine(state).Load();
  SeedCatalogue(state);
  state.ScanDone = false;
  Engine(state).tmrScansione().SetEnabled(true);
  state.ports.loop->DoEvents();

  state.CurrentIndex = -1;
  state.MonitorCount = 1;
  CreateSaverWindows(state, 1);
  WindowRect host_rect;
  state.ports.windows->GetNormalRect(state.PreviewHost, &host_rect);
  state.SaverWindows[1]->Window().EmbedInto(state.PreviewHost, host_rect);

  if (!EngineLoaded(state)) return;
  Engine(state).tmrImmagine().SetEnabled(true);
  tmrImmagine_Timer(state);
}

void PlaceOptionsDialog(ProgramState& state, OptionsWindow& window) {
  std::vector<MonitorRecord> monitors;
  std::int16_t count = EnumerateMonitors(*state.ports.display, monitors);
  WindowRect owner;
  if (!state.ports.windows->GetNormalRect(state.OptionsOwner, &owner)) return;
  for (int i = 1; i <= count; ++i) {
    const MonitorRecord& m = monitors[i];
    if (owner.left >= m.Left && owner.right <= m.Right && owner.top >= m.Top && owner.bottom <= m.Bottom) {
      window.MoveTo(owner.left + kOwnerOffset, owner.top + kOwnerOffset);
      return;
    }
  }
  if (count < 1) return;  // no monitor to centre on: the dialog keeps its own place
  const MonitorRecord& m = monitors[1];
  // std::nearbyint rounds halves to even in the default rounding mode.
  double x = (m.Right - m.Left) / 2.0 + m.Left - window.OuterWidth() / 2.0;
  double y = (m.Bottom - m.Top) / 2.0 + m.Top - window.OuterHeight() / 2.0;
  window.MoveTo(static_cast<int>(std::nearbyint(x)), static_cast<int>(std::nearbyint(y)));
}

void RunOptionsMode(ProgramState& state, WindowHandle handle) {
  OptionsDialog& dialog = Options(state);
  dialog.Load();
  // The program's icon is carried by T; taking it loads T.
  Engine(state).Load();
  state.OptionsOwner = handle;
  state.OptionsOwner = state.ports.windows->GetParent(state.OptionsOwner);
  if (state.OptionsOwner != 0) {
    dialog.Window()->SetOwner(state.OptionsOwner);
    PlaceOptionsDialog(state, *dialog.Window());
    state.ports.windows->EnableWindow(state.OptionsOwner, false);
  }
  dialog.Show();
  StartCatalogue(state);
  StartSlideTimer(state);
}
