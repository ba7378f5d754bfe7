#pragma once
// The options dialog "C" as a view-model: the state of its controls and its
// handlers. The platform dialog (options_window_*.cpp) renders the state and
// forwards events here.
#include <memory>

#include "options/options_window.h"

struct ProgramState;

class OptionsDialog {
 public:
  explicit OptionsDialog(ProgramState& state);
  ~OptionsDialog();

  // Creates the window and runs Form_Load.
  void Load();
  void Show();
  // The close box, Cancel and OK end here: restores the settings in memory,
  // gives the owner window back and ends the program.
  void Form_Unload();

  OptionsWindow* Window() { return window_.get(); }
  // Visibility of the frames fraFrame(0..2); 2 is the Info panel with the preview.
  bool fraFrameVisible(int index) const;
  PictureBox* picSaver();

 private:
  void Form_Load();

  ProgramState& state_;
  std::unique_ptr<OptionsWindow> window_;
  bool info_panel_visible_ = false;
};

// "C": the single instance, created on first use.
OptionsDialog& Options(ProgramState& state);
