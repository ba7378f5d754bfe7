#include "saver/saver_screen.h"

#include <cmath>

#include "platform/show_timers.h"
#include "platform/system.h"
#include "render/canvas.h"
#include "saver/power.h"
#include "saver/saver_exit.h"
#include "sequence/show_keys.h"
#include "sequence/slide_show.h"

namespace {

// Keys that name nothing: taken as activity, never as a reason to end.
constexpr int kKeyNone = 0;
constexpr int kKeyUnnamed = 255;

constexpr std::int32_t kSecondsPerDay = 86400;
// S within this long of the last key only counts as activity.
constexpr double kMonitorsOffPause = 1.0;
constexpr float kNoPosition = -1.0f;

}  // namespace

SaverScreen::SaverScreen(const Services& services) : services_(services), last_activity_(-kSecondsPerDay) {}
SaverScreen::~SaverScreen() = default;

void SaverScreen::Load() { window_ = services_.create_window(*this); }

PictureBox& SaverScreen::Surface() { return window_->Surface(); }

bool SaverScreen::InPreview() const { return services_.show.InSystemPreview(); }

std::int32_t SaverScreen::Now() const {
  return static_cast<std::int32_t>(std::nearbyint(services_.system.SecondsSinceMidnight()));
}

void SaverScreen::End() { EndSaver(EndServices()); }

// The platform windows are their own picture boxes, so the picture surface
// always fills the window without a resize handler.

void SaverScreen::NoteActivity() {
  ShowFlags& flags = services_.show.Flags();
  flags.overlay_armed = false;
  flags.asleep = false;
  last_activity_ = Now();
}

void SaverScreen::OnKeyDown(int key_code, int) {
  if (IsForwardKey(key_code)) return KeyForward();
  if (IsBackKey(key_code)) return KeyBack();
  switch (key_code) {
    case kKeyS: return KeyMonitorsOff();
    case kOverlayArmKey: return KeyOverlayArm();
    case kOverlayToggleKey: return KeyOverlayToggle();
    case kKeyNone:
    case kKeyUnnamed: return NoteActivity();
    default:
      NoteActivity();
      if (!InPreview()) End();
      return;
  }
}

// The next pictures at once; the slide timer keeps its own rhythm (the tick
// restarts its interval).
void SaverScreen::KeyForward() {
  NoteActivity();
  if (services_.timers.SlideTimerRunning()) services_.show.StepForward();
}

void SaverScreen::KeyBack() {
  NoteActivity();
  services_.show.ShowPreviousSlide();
}

// S right after another key is taken for part of a typing burst and only
// counts as activity; otherwise it switches the monitors off (saver mode
// only) without counting as activity, so that a second S while they are off
// wakes the show.
void SaverScreen::KeyMonitorsOff() {
  ShowFlags& flags = services_.show.Flags();
  flags.overlay_armed = false;
  const double now = services_.system.SecondsSinceMidnight();
  if (now < last_activity_) last_activity_ -= kSecondsPerDay;  // midnight has passed
  if (now - last_activity_ > kMonitorsOffPause && !flags.asleep) {
    // The power watch hears of the change and puts the show to sleep.
    if (!InPreview()) services_.power.TurnMonitorsOff();
    return;
  }
  flags.asleep = false;
  last_activity_ = Now();
}

// Arming twice ends the saver, as an unarmed toggle key does: only the pair
// in order is harmless.
void SaverScreen::KeyOverlayArm() {
  ShowFlags& flags = services_.show.Flags();
  flags.asleep = false;
  last_activity_ = Now();
  if (flags.overlay_armed) {
    flags.overlay_armed = false;
    if (!InPreview()) End();
  } else {
    flags.overlay_armed = true;
  }
}

// The overlay shows from the next frame on.
void SaverScreen::KeyOverlayToggle() {
  ShowFlags& flags = services_.show.Flags();
  flags.asleep = false;
  last_activity_ = Now();
  const bool armed = flags.overlay_armed;
  flags.overlay_armed = false;
  if (armed) {
    flags.status_overlay = !flags.status_overlay;
  } else if (!InPreview()) {
    End();
  }
}

void SaverScreen::OnMouseDown(int, int, float, float) {
  if (!InPreview()) End();
}

void SaverScreen::OnMouseUp(int, int, float, float) {
  if (!InPreview()) End();
}

// The first event after the window appears (the system reports the pointer
// where it already is) only records the position; the same position again is
// no movement.
void SaverScreen::OnMouseMove(int, int, float x, float y) {
  const bool moved = x != last_x_ || y != last_y_;
  if (moved && last_x_ != kNoPosition && last_y_ != kNoPosition && !InPreview()) {
    services_.show.Flags().asleep = false;
    End();
  }
  last_x_ = x;
  last_y_ = y;
}

// Closed by anything but the program itself (the user, the task list, the
// end of the session): end with the full clean-up.
void SaverScreen::OnCloseRequest(bool&, CloseReason reason) {
  if (reason != CloseReason::Program) End();
}

// In the system preview, the host closing the preview ends the program. A
// daemon keeps its hack's window while the hack runs (it stops the hack
// first), so that window going away is reported as an error.
void SaverScreen::OnClosed(bool&) {
  if (hack_host_ != 0)
    EndHackForWindow(hack_host_, "was destroyed", EndServices());
  if (InPreview()) End();
}
