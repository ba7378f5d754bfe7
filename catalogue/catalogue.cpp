#include "catalogue/catalogue.h"

#include "catalogue/folder_scan.h"
#include "options/options_dialog.h"
#include "platform/event_loop.h"
#include "platform/text.h"
#include "render/canvas.h"
#include "sequence/slide_timer.h"
#include "startup/engine_form.h"
#include "startup/program_state.h"

namespace {

constexpr std::size_t kInitialSlots = 101;  // upper bound 100

// The preview box lives on the Info panel: nothing to do while it is hidden.
bool PreviewPanelVisible(const ProgramState& state) { return state.C && state.C->fraFrameVisible(2); }

std::string WithSeparator(std::string folder, char separator) {
  if (folder.back() != separator) folder += separator;
  return folder;
}

// Compares an include folder with every exclude entry, giving each non-empty
// exclude entry its trailing separator on the way.
bool NotExcluded(ProgramState& state, const std::string& include) {
  bool not_excluded = true;
  for (std::string& exclude : state.ExcludeList) {
    if (exclude.empty()) continue;
    exclude = WithSeparator(std::move(exclude), state.ports.paths.separator);
    if (exclude == include) not_excluded = false;
  }
  return not_excluded;
}

// The start-up queue grows after the count is raised (one slot more than the
// walk's rule would give, kept as the lists have always been sized).
void QueueIncludeFolder(ProgramState& state, std::string folder) {
  if (!state.QueuedFolders.insert(folder).second) return;
  state.FolderQueue[static_cast<std::size_t>(state.FolderCount)] = std::move(folder);
  ++state.FolderCount;
  if (static_cast<std::int32_t>(state.FolderQueue.size()) - 1 <= state.FolderCount)
    state.FolderQueue.resize(static_cast<std::size_t>(state.FolderCount) + kInitialSlots);
}

}  // namespace

void SeedCatalogue(ProgramState& state) {
  ++state.ScanRun;
  state.QueuedFolders.clear();
  state.ScannedFolders.clear();
  state.PictureList.assign(kInitialSlots, std::string());
  state.FolderQueue.assign(kInitialSlots, std::string());
  state.FolderCount = 0;
  state.PictureCount = 0;
  const std::vector<std::string> includes = SplitFolderLines(state.CurrentSettings.ImageDirectory);
  state.ExcludeList = SplitFolderLines(state.CurrentSettings.ExcludeDirectory);
  for (const std::string& line : includes) {
    if (line.empty()) continue;
    const std::string include = WithSeparator(line, state.ports.paths.separator);
    if (NotExcluded(state, include)) QueueIncludeFolder(state, TrimSpaces(include));
  }
}

void StartCatalogue(ProgramState& state) {
  if (!PreviewPanelVisible(state)) return;
  RestartPreviewCatalogue(state);
}

void StopCatalogue(ProgramState& state) {
  if (!PreviewPanelVisible(state)) return;
  HaltPreviewCatalogue(state);
}

void RestartPreviewCatalogue(ProgramState& state) {
  HaltPreviewCatalogue(state);
  state.ports.loop->DoEvents();
  state.StopScan = false;
  EngineForm& engine = Engine(state);
  engine.Load();
  SeedCatalogue(state);
  state.ScanDone = false;
  engine.tmrScansione().SetEnabled(true);
  state.ports.loop->DoEvents();
  state.CurrentIndex = -1;
  StartSlideTimer(state);
}

void HaltPreviewCatalogue(ProgramState& state) {
  state.StopScan = true;
  state.ScanDone = false;
  // A running walk sees the request at this yield's end and returns.
  state.ports.loop->DoEvents();
  if (EngineLoaded(state)) Engine(state).Unload();
  state.ports.loop->DoEvents();
  if (state.C)
    if (PictureBox* box = state.C->picSaver()) box->Cls();
}

void tmrScansione_Timer(ProgramState& state) {
  if (state.ScanDone || !EngineLoaded(state)) return;
  Timer& timer = Engine(state).tmrScansione();
  if (!timer.Enabled()) return;
  // Off for good: the timer only starts the walk; this event runs all of it.
  timer.SetEnabled(false);
  if (ScanQueue(state) == ScanEnd::kStopped && EngineLoaded(state)) Engine(state).Unload();
}
