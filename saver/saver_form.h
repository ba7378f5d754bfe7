#pragma once
// The saver form "S": one per monitor (or the one preview window). Its
// handlers decide what keys and the mouse do; the platform window only
// forwards events.
#include <memory>

#include "saver/saver_window.h"

struct ProgramState;

class SaverForm : public SaverWindowEvents {
 public:
  explicit SaverForm(ProgramState& state);
  ~SaverForm() override;

  // Creates the window and runs Form_Load.
  void Load();
  SaverWindow& Window() { return *window_; }
  PictureBox& picSaver();

  void Form_Load();
  void Form_KeyDown(int key_code, int shift) override;
  void picSaver_MouseDown(int button, int shift, float x, float y) override;
  void picSaver_MouseUp(int button, int shift, float x, float y) override;
  void picSaver_MouseMove(int button, int shift, float x, float y) override;
  void Form_QueryUnload(int& cancel, int unload_mode) override;
  void Form_Unload(int& cancel) override;

  float LastX = 0;
  float LastY = 0;
  int LastActivity = 0;

 private:
  bool InPreview() const;

  ProgramState& state_;
  std::unique_ptr<SaverWindow> window_;
};
