#include "options/options_dialog.h"

#include "platform/system.h"
#include "startup/program_state.h"

OptionsDialog::OptionsDialog(ProgramState& state) : state_(state) {}
OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::Load() {
  if (window_) return;
  window_ = state_.ports.windows->CreateOptionsWindow(*this);
  Form_Load();
}

void OptionsDialog::Form_Load() { window_->SetCaption(state_.ProgramTitle); }

void OptionsDialog::Show() { window_->Show(); }

void OptionsDialog::Form_Unload() {
  if (state_.OptionsOwner != 0) {
    state_.ports.windows->EnableWindow(state_.OptionsOwner, true);
    state_.ports.windows->SetNotTopmost(state_.OptionsOwner);
  }
  state_.ports.system->EndProcess(0);
}

bool OptionsDialog::fraFrameVisible(int index) const { return index == 2 ? info_panel_visible_ : true; }

PictureBox* OptionsDialog::picSaver() { return window_ ? window_->picSaver() : nullptr; }

OptionsDialog& Options(ProgramState& state) {
  if (!state.C) state.C = std::make_unique<OptionsDialog>(state);
  return *state.C;
}
