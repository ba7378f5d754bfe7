// How the options dialog ends: OK saves, Cancel and the close box discard,
// and every way of closing restores the owner window and ends the program.
#include "options/grace_period.h"
#include "options/options_dialog.h"
#include "options/options_storage.h"
#include "options/preview_show.h"
#include "platform/system.h"

// The grace period is system-wide and may be written only by administrators:
// it is written only when the user changed it to a number, and a refusal is
// reported after the per-user settings are already saved.
void OptionsDialog::SaveAndClose() {
  storage_->SaveSettings(settings_);
  const std::string& grace = Control(ControlId::GraceText).text;
  if (grace != grace_at_open_ && IsDecimalNumber(grace)) {
    if (!storage_->WriteGrace(TrimBlanks(grace))) {
      services_.system.ShowMessage(kGraceWriteRefused, identity_.title, MessageBoxStyle::Exclamation);
    }
  }
  Close();
}

void OptionsDialog::Close() {
  settings_ = settings_at_open_;
  if (owner_ != 0) {
    services_.windows.EnableWindow(owner_, true);
    services_.windows.SetNotTopmost(owner_);
  }
  StopCatalogue();
  services_.system.EndProcess(0);
}
