#include "saver/saver_form.h"

#include <cmath>
#include <string>

#include "platform/event_loop.h"
#include "platform/system.h"
#include "render/canvas.h"
#include "render/renderer.h"
#include "saver/debug_keys.h"
#include "saver/power.h"
#include "sequence/next_picture.h"
#include "sequence/slide_timer.h"
#include "startup/engine_form.h"
#include "startup/program_state.h"
#include "startup/shutdown.h"

namespace {

// Windows virtual-key codes the form gives a meaning.
enum Key : int {
  kKeyNone = 0,
  kKeyBackspace = 8,
  kKeyEnter = 13,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kKeyS = 83,
  kKeyUnnamed = 255,
};

constexpr std::int32_t kSecondsPerDay = 86400;
// S within this long of the last key only counts as activity.
constexpr double kMonitorsOffPause = 1.0;
constexpr float kNoPosition = -1.0f;
constexpr const char* kNoFilesFound = "No files found :(";

}  // namespace

SaverForm::SaverForm(ProgramState& state) : state_(state) {}
SaverForm::~SaverForm() = default;

void SaverForm::Load() {
  window_ = state_.ports.windows->CreateSaverWindow(*this);
  Form_Load();
}

PictureBox& SaverForm::picSaver() { return window_->picSaver(); }

bool SaverForm::InPreview() const { return state_.PreviewHost != 0; }

std::int32_t SaverForm::Now() const {
  return static_cast<std::int32_t>(std::nearbyint(state_.ports.system->SecondsSinceMidnight()));
}

void SaverForm::Form_Load() {
  LastX = kNoPosition;
  LastY = kNoPosition;
  LastActivity = -kSecondsPerDay;
}

// The platform windows are their own picture boxes, so the picture surface
// always fills the window without a resize handler.

void SaverForm::NoteActivity() {
  state_.CommandKeyArmed = false;
  state_.Sleeping = false;
  LastActivity = Now();
}

void SaverForm::Form_KeyDown(int key_code, int) {
  switch (key_code) {
    case kKeyEnter:
    case kKeyRight:
    case kKeyDown: KeyForward(); return;
    case kKeyBackspace:
    case kKeyLeft:
    case kKeyUp: KeyBack(); return;
    case kKeyS: KeyMonitorsOff(); return;
    case kDebugArmKey: KeyArm(); return;
    case kDebugToggleKey: KeyToggle(); return;
    case kKeyNone:
    case kKeyUnnamed: NoteActivity(); return;
    default:
      NoteActivity();
      if (!InPreview()) EndSaver(state_);
      return;
  }
}

// The next pictures at once; the slide timer keeps its own rhythm (the tick
// restarts its interval).
void SaverForm::KeyForward() {
  NoteActivity();
  if (EngineLoaded(state_) && state_.T->tmrImmagine().Enabled()) tmrImmagine_Timer(state_);
}

// Back over the pictures on screen and the ones before them, so each window
// shows what it showed one slide earlier. With fewer pictures than the step
// the index may stay below -1: those windows get an empty frame.
void SaverForm::KeyBack() {
  NoteActivity();
  if (!EngineLoaded(state_) || !state_.T->tmrImmagine().Enabled()) return;
  state_.T->tmrImmagine().SetEnabled(false);
  const bool preview = InPreview();
  if (state_.PictureCount > 0) {
    state_.CurrentIndex -= 2 * state_.MonitorCount;
    if (state_.CurrentIndex < 0) state_.CurrentIndex += state_.PictureCount;
    for (int i = 1; i <= state_.MonitorCount; ++i) {
      PictureBox& box = state_.SaverWindows[i]->picSaver();
      std::string path = NextPicture(state_, false);
      RenderPicture(state_, path, preview ? PreviewCredit(state_) : "", &box, preview);
      box.Refresh();
    }
  } else {
    std::string message;
    if (state_.ScanDone) message = preview ? PreviewCredit(state_) + "\r\n" + kNoFilesFound : kNoFilesFound;
    for (int i = 1; i <= state_.MonitorCount; ++i) {
      PictureBox& box = state_.SaverWindows[i]->picSaver();
      RenderPicture(state_, "", message, &box, false);
      box.Refresh();
    }
  }
  if (EngineLoaded(state_)) state_.T->tmrImmagine().SetEnabled(true);
}

// S right after another key is taken for part of a typing burst and only
// counts as activity; otherwise it switches the monitors off (saver mode
// only) without counting as activity, so that a second S while they are off
// clears Sleeping.
void SaverForm::KeyMonitorsOff() {
  state_.CommandKeyArmed = false;
  double now = state_.ports.system->SecondsSinceMidnight();
  if (now < LastActivity) LastActivity -= kSecondsPerDay;  // midnight has passed
  if (now - LastActivity > kMonitorsOffPause && !state_.Sleeping) {
    if (!InPreview()) MonitorsOff(state_);
    return;
  }
  state_.Sleeping = false;
  LastActivity = Now();
}

// Arming twice quits, as an unarmed toggle key does: only the pair in order
// is harmless.
void SaverForm::KeyArm() {
  state_.Sleeping = false;
  LastActivity = Now();
  if (state_.CommandKeyArmed) {
    state_.CommandKeyArmed = false;
    if (!InPreview()) EndSaver(state_);
  } else {
    state_.CommandKeyArmed = true;
  }
}

// The overlay shows from the next frame on.
void SaverForm::KeyToggle() {
  state_.Sleeping = false;
  LastActivity = Now();
  if (state_.CommandKeyArmed) {
    state_.DebugMode = !state_.DebugMode;
    state_.CommandKeyArmed = false;
  } else {
    state_.CommandKeyArmed = false;
    if (!InPreview()) EndSaver(state_);
  }
}

void SaverForm::picSaver_MouseDown(int, int, float, float) {
  if (!InPreview()) EndSaver(state_);
}

void SaverForm::picSaver_MouseUp(int, int, float, float) {
  if (!InPreview()) EndSaver(state_);
}

// The first event after the window appears (the system reports the pointer
// where it already is) only records the position; the same position again is
// no movement.
void SaverForm::picSaver_MouseMove(int, int, float x, float y) {
  bool moved = x != LastX || y != LastY;
  if (moved && LastX != kNoPosition && LastY != kNoPosition && !InPreview()) {
    state_.Sleeping = false;
    EndSaver(state_);
  }
  LastX = x;
  LastY = y;
}

// Closed by anything but the program itself (the user, the task list, the
// end of the session): end with the full clean-up.
void SaverForm::Form_QueryUnload(int&, int unload_mode) {
  if (unload_mode != kUnloadFromCode) EndSaver(state_);
}

// In preview, the host closing the preview ends the program.
void SaverForm::Form_Unload(int&) {
  if (InPreview()) EndSaver(state_);
}

void MonitorsOff(ProgramState& state) {
  if (state.ports.power) state.ports.power->TurnMonitorsOff();
}
