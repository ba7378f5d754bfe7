#pragma once
// The saver form "S": one per monitor (or the one preview window). Its
// handlers decide what keys and the mouse do; the platform window only
// forwards events (keys as Windows virtual-key codes).
//
// Keys: Enter, Right, Down show the next pictures at once; Backspace, Left,
// Up go back one slide; S switches the monitors off; the overlay key pair
// (saver/debug_keys.h) toggles the status overlay; any other key, a mouse
// button or a real mouse movement ends the saver. In preview mode nothing
// ends it but the window's own unload.
#include <cstdint>
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

  // The last mouse-move position seen (-1 = none yet).
  float LastX = -1.0f;
  float LastY = -1.0f;
  // Time of day, in whole seconds, of the last key handled; a day before
  // midnight until then.
  std::int32_t LastActivity = -86400;

 private:
  bool InPreview() const;
  // Rounded time of day in seconds.
  std::int32_t Now() const;
  void NoteActivity();
  void KeyForward();
  void KeyBack();
  void KeyMonitorsOff();
  void KeyArm();
  void KeyToggle();

  ProgramState& state_;
  std::unique_ptr<SaverWindow> window_;
};

// Asks the system to switch the monitors off. Sleeping follows through the
// power hook, not from here.
void MonitorsOff(ProgramState& state);
