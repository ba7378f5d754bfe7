// The option controls of the options dialog, each writing its setting into
// CurrentSettings the moment it changes, and the live preview on the Info
// panel that shows the effect.
#include "options/dialog_services.h"
#include "options/options_dialog.h"
#include "options/preview_engine.h"
#include "render/canvas.h"
#include "saver/debug_keys.h"
#include "startup/program_state.h"

namespace {

// Windows virtual-key codes of the preview's navigation keys.
constexpr int kVkBack = 8, kVkReturn = 13, kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40;

constexpr char kNoFilesFound[] = "No files found :(";

std::int16_t Selected(const ControlState& c) { return static_cast<std::int16_t>(c.selected); }

}  // namespace

// ---- Change handlers --------------------------------------------------------------

void OptionsDialog::IntervalChanged() {
  const int index = Control(ControlId::cmbInterval).selected;
  if (index < 0) return;
  state_.CurrentSettings.Interval = static_cast<std::uint16_t>(5000 + 1000 * index);
  StartSlideTimer();
}

void OptionsDialog::RandomChanged() {
  state_.CurrentSettings.Random = Control(ControlId::chkRandom).checked;
  StartCatalogue();
  StartSlideTimer();
}

// Exclusions can only be edited while subfolders are included; clearing the
// box keeps them listed and stored.
void OptionsDialog::RecursiveChanged() {
  const bool checked = Control(ControlId::chkRecursive).checked;
  state_.CurrentSettings.Recursive = checked;
  for (ControlId id : {ControlId::lstExclude, ControlId::cmdAddExclude0, ControlId::cmdAddExclude1}) {
    SetEnabled(id, checked);
  }
  if (checked) {
    if (ItemCount(ControlId::lstExclude) >= 1) {
      SetListIndex(ControlId::lstExclude, 0);
      SetEnabled(ControlId::cmdDelExclude, true);
    }
    RemoveNestedIncludes();
  } else {
    SetEnabled(ControlId::cmdDelExclude, false);
  }
  StartCatalogue();
}

void OptionsDialog::CheckSizeChanged() {
  const ControlState& c = Control(ControlId::cmbCheckSize);
  if (c.selected < 0) return;
  state_.CurrentSettings.CheckImageSize = Selected(c);
  StartCatalogue();
  StartSlideTimer();
}

void OptionsDialog::AspectRatioChanged() {
  const ControlState& c = Control(ControlId::cmbAspectRatio);
  if (c.selected < 0) return;
  state_.CurrentSettings.CheckAspectRatio = Selected(c);
  StartCatalogue();
  StartSlideTimer();
}

void OptionsDialog::UpscaleModeChanged() {
  const ControlState& c = Control(ControlId::cmbUpscaleMode);
  if (c.selected < 0) return;
  state_.CurrentSettings.UpscaleMode = Selected(c);
  StartSlideTimer();
}

// The resolution is shown only beside a caption: "No" clears and disables it.
void OptionsDialog::FileNameChanged() {
  const ControlState& c = Control(ControlId::cmbFileName);
  if (c.selected < 0) return;
  state_.CurrentSettings.ShowFilename = Selected(c);
  if (c.selected != 0) {
    SetEnabled(ControlId::chkResolution, true);
  } else {
    SetChecked(ControlId::chkResolution, false);
    SetEnabled(ControlId::chkResolution, false);
  }
  state_.CurrentSettings.ShowFileResolution = Control(ControlId::chkResolution).checked;
  StartSlideTimer();
}

void OptionsDialog::ResolutionChanged() {
  state_.CurrentSettings.ShowFileResolution = Control(ControlId::chkResolution).checked;
  StartSlideTimer();
}

// ---- Colours and link --------------------------------------------------------------

void OptionsDialog::cmdColor_Click(int index) {
  const ControlId button = index == 0 ? ControlId::cmdColor0 : ControlId::cmdColor1;
  const ControlId swatch = index == 0 ? ControlId::shpDemo0 : ControlId::shpDemo1;
  DialogServices* dialogs = state_.ports.dialogs;
  if (!Accepts(button) || !dialogs) return;
  const std::int32_t chosen = dialogs->PickColor(Handle(), Control(swatch).color, custom_colors_);
  if (chosen < 0) return;  // cancelled
  SetColor(swatch, chosen & 0x00FFFFFF);
  state_.CurrentSettings.ShowFilenameColorText = Control(ControlId::shpDemo0).color;
  state_.CurrentSettings.ShowFilenameColorBorder = Control(ControlId::shpDemo1).color;
  StartSlideTimer();
}

// A link that does not open is not reported.
void OptionsDialog::lblLink_DblClick() {
  if (Accepts(ControlId::lblLink) && state_.ports.dialogs) state_.ports.dialogs->OpenLink(state_.AboutLinkTarget);
}

// ---- Info panel and preview -----------------------------------------------------------

void OptionsDialog::cmdMore_Click() {
  if (!Accepts(ControlId::cmdMore)) return;
  const int step = InfoOf(ControlId::fraFrame2).rect.width + kInfoPanelMargin;
  if (!Control(ControlId::fraFrame2).visible) {
    SetText(ControlId::cmdMore, "<<<");
    client_width_ += step;
    if (window_) window_->SetClientSize(client_width_, kClientHeight);
    SetVisible(ControlId::fraFrame2, true);
    StartCatalogue();
  } else {
    StopCatalogue();  // while the panel is still shown, so the preview stops and clears
    SetText(ControlId::cmdMore, ">>>");
    client_width_ -= step;
    if (window_) window_->SetClientSize(client_width_, kClientHeight);
    SetVisible(ControlId::fraFrame2, false);
  }
}

// Keys step through the preview; the debug sequence toggles the status
// overlay. Unlike the saver window, no key ends anything here.
void OptionsDialog::picSaver_KeyDown(int key_code, int) {
  if (!Accepts(ControlId::picSaver)) return;
  switch (key_code) {
    case kVkReturn:
    case kVkRight:
    case kVkDown:
      state_.CommandKeyArmed = false;
      if (engine_->SlideTimerRunning()) engine_->SlideTick();
      return;
    case kVkBack:
    case kVkLeft:
    case kVkUp:
      return ShowPreviousPicture();
    case kDebugArmKey:
      state_.CommandKeyArmed = true;
      return;
    case kDebugToggleKey:
      if (state_.CommandKeyArmed) state_.DebugMode = !state_.DebugMode;
      state_.CommandKeyArmed = false;
      return;
    default:
      state_.CommandKeyArmed = false;
      return;
  }
}

// One picture back: the index goes back two (with wrap) and NextPicture, in
// scan order, advances it one.
void OptionsDialog::ShowPreviousPicture() {
  state_.CommandKeyArmed = false;
  if (!engine_->SlideTimerRunning()) return;
  engine_->SetSlideTimer(false);
  PictureBox* box = picSaver();
  if (state_.PictureCount < 1) {
    engine_->RenderPicture("", state_.ScanDone ? kNoFilesFound : "", box, false);
  } else {
    state_.CurrentIndex -= 2;
    if (state_.CurrentIndex < 0) state_.CurrentIndex += state_.PictureCount;
    const std::string path = engine_->NextPicture(false);
    engine_->RenderPicture(path, "", box, true);
  }
  if (box) box->Refresh();
  engine_->SetSlideTimer(true);
}

// ---- The show machinery --------------------------------------------------------------

void OptionsDialog::StartCatalogue() {
  if (Control(ControlId::fraFrame2).visible) engine_->StartCatalogue();
}

void OptionsDialog::StopCatalogue() {
  if (Control(ControlId::fraFrame2).visible) engine_->StopCatalogue();
}

void OptionsDialog::StartSlideTimer() {
  if (Control(ControlId::fraFrame2).visible) engine_->StartSlideTimer();
}
