// The option controls of the options dialog, each writing its setting into
// CurrentSettings the moment it changes, and the live preview on the Info
// panel that shows the effect.
#include "options/dialog_services.h"
#include "options/options_dialog.h"
#include "options/preview_show.h"
#include "sequence/show_keys.h"

namespace {

template <typename Enum>
Enum Selected(const ControlState& c) {
  return static_cast<Enum>(c.selected);
}

}  // namespace

// ---- Change handlers --------------------------------------------------------------

void OptionsDialog::IntervalChanged() {
  const int index = Control(ControlId::IntervalCombo).selected;
  if (index < 0) return;
  settings_.interval_ms = static_cast<std::uint16_t>(5000 + 1000 * index);
  StartSlideTimer();
}

void OptionsDialog::RandomChanged() {
  settings_.random_order = Control(ControlId::RandomCheck).checked;
  StartCatalogue();
  StartSlideTimer();
}

// Exclusions can only be edited while subfolders are included; clearing the
// box keeps them listed and stored.
void OptionsDialog::SubfoldersChanged() {
  const bool checked = Control(ControlId::SubfoldersCheck).checked;
  settings_.include_subfolders = checked;
  for (ControlId id : {ControlId::ExcludeList, ControlId::AddExcludeWithPicker, ControlId::AddExcludeByPath}) {
    SetEnabled(id, checked);
  }
  if (checked) {
    if (ItemCount(ControlId::ExcludeList) >= 1) {
      SetListIndex(ControlId::ExcludeList, 0);
      SetEnabled(ControlId::RemoveExclude, true);
    }
    RemoveNestedIncludes();
  } else {
    SetEnabled(ControlId::RemoveExclude, false);
  }
  StartCatalogue();
}

void OptionsDialog::SizeFilterChanged() {
  const ControlState& c = Control(ControlId::SizeFilterCombo);
  if (c.selected < 0) return;
  settings_.size_filter = Selected<SizeFilter>(c);
  StartCatalogue();
  StartSlideTimer();
}

void OptionsDialog::AspectFilterChanged() {
  const ControlState& c = Control(ControlId::AspectFilterCombo);
  if (c.selected < 0) return;
  settings_.aspect_filter = Selected<AspectFilter>(c);
  StartCatalogue();
  StartSlideTimer();
}

void OptionsDialog::ScaleModeChanged() {
  const ControlState& c = Control(ControlId::ScaleModeCombo);
  if (c.selected < 0) return;
  settings_.scale_mode = Selected<ScaleMode>(c);
  StartSlideTimer();
}

// The resolution is shown only beside a caption: "No" clears and disables it.
void OptionsDialog::CaptionChanged() {
  const ControlState& c = Control(ControlId::CaptionCombo);
  if (c.selected < 0) return;
  settings_.caption = Selected<CaptionPosition>(c);
  if (c.selected != 0) {
    SetEnabled(ControlId::ResolutionCheck, true);
  } else {
    SetChecked(ControlId::ResolutionCheck, false);
    SetEnabled(ControlId::ResolutionCheck, false);
  }
  settings_.caption_shows_size = Control(ControlId::ResolutionCheck).checked;
  StartSlideTimer();
}

void OptionsDialog::ResolutionChanged() {
  settings_.caption_shows_size = Control(ControlId::ResolutionCheck).checked;
  StartSlideTimer();
}

void OptionsDialog::ShowStyleChanged() {
  const int transition = Control(ControlId::TransitionCombo).selected;
  const int caption_text = Control(ControlId::CaptionTextCombo).selected;
  if (transition >= 0) settings_.transition_ms = static_cast<std::uint16_t>(transition * kTransitionStepMs);
  if (caption_text >= 0) settings_.caption_text = static_cast<CaptionText>(caption_text);
  settings_.motion = Control(ControlId::MotionCheck).checked;
  settings_.backdrop = Control(ControlId::BackdropCheck).checked ? Backdrop::Soft : Backdrop::Black;
  StartSlideTimer();
}

// ---- Colours and link --------------------------------------------------------------

void OptionsDialog::PickColour(bool text) {
  const ControlId swatch = text ? ControlId::TextColourSwatch : ControlId::BorderColourSwatch;
  const std::int32_t chosen = services_.dialogs.PickColor(Handle(), Control(swatch).color, custom_colors_);
  if (chosen < 0) return;  // cancelled
  SetColor(swatch, chosen & 0x00FFFFFF);
  settings_.caption_text_colour = Control(ControlId::TextColourSwatch).color;
  settings_.caption_border_colour = Control(ControlId::BorderColourSwatch).color;
  StartSlideTimer();
}

// A link that does not open is not reported.
void OptionsDialog::OpenAboutLink() { services_.dialogs.OpenLink(identity_.about_link); }

// ---- Info panel and preview -----------------------------------------------------------

void OptionsDialog::ToggleInfoPanel() {
  const int step = InfoOf(ControlId::InfoPanel).rect.width + kInfoPanelMargin;
  if (!Control(ControlId::InfoPanel).visible) {
    SetText(ControlId::InfoToggle, "<<<");
    client_width_ += step;
    if (window_) window_->SetClientSize(client_width_, kClientHeight);
    SetVisible(ControlId::InfoPanel, true);
    StartCatalogue();
  } else {
    StopCatalogue();  // while the panel is still shown, so the preview stops and clears
    SetText(ControlId::InfoToggle, ">>>");
    client_width_ -= step;
    if (window_) window_->SetClientSize(client_width_, kClientHeight);
    SetVisible(ControlId::InfoPanel, false);
  }
}

// Keys step through the preview; the overlay sequence toggles the status
// overlay. Unlike the saver window, no key ends anything here.
void OptionsDialog::PreviewKey(int key_code) {
  ShowFlags& flags = preview_->Flags();
  const bool armed = flags.overlay_armed;
  flags.overlay_armed = key_code == kOverlayArmKey;
  if (IsForwardKey(key_code)) {
    if (preview_->SlideTimerRunning()) preview_->SlideTick();
  } else if (IsBackKey(key_code)) {
    preview_->ShowPreviousSlide();
  } else if (key_code == kOverlayToggleKey && armed) {
    flags.status_overlay = !flags.status_overlay;
  }
}

// ---- The show machinery --------------------------------------------------------------

void OptionsDialog::StartCatalogue() {
  if (PreviewShown()) preview_->StartCatalogue();
}

void OptionsDialog::StopCatalogue() {
  if (PreviewShown()) preview_->StopCatalogue();
}

void OptionsDialog::StartSlideTimer() {
  if (PreviewShown()) preview_->StartSlideTimer();
}
