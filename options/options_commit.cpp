// How the options dialog ends: OK saves, Cancel and the close box discard,
// and every way of closing restores the owner window and ends the program.
#include "options/grace_period.h"
#include "options/options_dialog.h"
#include "options/options_storage.h"
#include "options/preview_engine.h"
#include "platform/system.h"
#include "startup/program_state.h"

// The grace period is system-wide and may be written only by administrators:
// it is written only when the user changed it to a number, and a refusal is
// reported after the per-user settings are already saved.
void OptionsDialog::cmdOk_Click() {
  storage_->SaveSettings();
  const std::string& grace = Control(ControlId::txtGrace).text;
  if (grace != grace_at_open_ && IsDecimalNumber(grace)) {
    if (!storage_->WriteGrace(TrimBlanks(grace))) {
      state_.ports.system->MsgBox(kGraceWriteRefused, state_.ProgramTitle, kMbExclamation);
    }
  }
  Form_Unload();
}

void OptionsDialog::cmdCancel_Click() { Form_Unload(); }

void OptionsDialog::Form_Unload() {
  state_.CurrentSettings = settings_at_open_;
  if (state_.OptionsOwner != 0) {
    state_.ports.windows->EnableWindow(state_.OptionsOwner, true);
    state_.ports.windows->SetNotTopmost(state_.OptionsOwner);
  }
  StopCatalogue();
  state_.ports.system->EndProcess(0);
}
