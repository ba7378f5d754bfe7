#include "saver/saver_form.h"

#include "startup/program_state.h"
#include "startup/shutdown.h"

// First cut: any input ends the saver (never in preview mode).
SaverForm::SaverForm(ProgramState& state) : state_(state) {}
SaverForm::~SaverForm() = default;

void SaverForm::Load() {
  window_ = state_.ports.windows->CreateSaverWindow(*this);
  Form_Load();
}

PictureBox& SaverForm::picSaver() { return window_->picSaver(); }

bool SaverForm::InPreview() const { return state_.PreviewHost != 0; }

void SaverForm::Form_Load() {
  LastX = -1.0f;
  LastY = -1.0f;
  LastActivity = -86400;
}

void SaverForm::Form_KeyDown(int, int) {
  if (!InPreview()) EndSaver(state_);
}

void SaverForm::picSaver_MouseDown(int, int, float, float) {
  if (!InPreview()) EndSaver(state_);
}

void SaverForm::picSaver_MouseUp(int, int, float, float) {
  if (!InPreview()) EndSaver(state_);
}

void SaverForm::picSaver_MouseMove(int, int, float x, float y) {
  bool moved = x != LastX || y != LastY;
  if (moved && LastX != -1.0f && LastY != -1.0f && !InPreview()) {
    state_.Sleeping = false;
    EndSaver(state_);
  }
  LastX = x;
  LastY = y;
}

void SaverForm::Form_QueryUnload(int&, int unload_mode) {
  if (unload_mode != kUnloadFromCode) EndSaver(state_);
}

void SaverForm::Form_Unload(int&) {
  if (InPreview()) EndSaver(state_);
}
