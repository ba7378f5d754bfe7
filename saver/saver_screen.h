#pragma once
// One saver window's behaviour: one per monitor, or the system preview's
// one window. Its handlers decide what keys and the mouse do; the platform
// window only forwards events (keys as Windows virtual-key codes).
//
// Keys: Enter, Right, Down show the next pictures at once; Backspace, Left,
// Up go back one slide; S switches the monitors off; the overlay key pair
// (sequence/show_keys.h) toggles the status overlay; any other key, a mouse
// button or a real mouse movement ends the saver. In the system preview
// nothing ends it but the window's own closing. A daemon's hack gets no
// input at all (its window lets it pass to the daemon); its window's closing
// is an error.
#include <cstdint>
#include <memory>

#include "saver/saver_exit.h"
#include "saver/saver_window.h"

class ShowTimers;
class GraphicsSession;
class PowerPort;
class SlideShow;
class SystemPort;

class SaverScreen : public SaverWindowEvents {
 public:
  struct Services {
    SystemPort& system;
    PowerPort& power;
    ShowTimers& timers;
    GraphicsSession& graphics;
    SlideShow& show;
    SaverWindowFactory create_window;
  };

  explicit SaverScreen(const Services& services);
  ~SaverScreen() override;

  // Creates the window, which forwards its events here.
  void Load();
  SaverWindow& Window() { return *window_; }
  PictureBox& Surface();
  // Serves a screen-saver daemon as its hack, drawing into the daemon's
  // window `host`: that window going away ends the program with an error.
  void ServeAsHack(WindowHandle host) { hack_host_ = host; }

  void OnKeyDown(int key_code, int shift) override;
  void OnMouseDown(int button, int shift, float x, float y) override;
  void OnMouseUp(int button, int shift, float x, float y) override;
  void OnMouseMove(int button, int shift, float x, float y) override;
  void OnCloseRequest(bool& cancel, CloseReason reason) override;
  void OnClosed(bool& cancel) override;

  // Time of day, in whole seconds, of the last key taken as activity; a day
  // before midnight until then.
  std::int32_t LastActivity() const { return last_activity_; }

 private:
  bool InPreview() const;
  // Rounded time of day in seconds.
  std::int32_t Now() const;
  void NoteActivity();
  void KeyForward();
  void KeyBack();
  void KeyMonitorsOff();
  void KeyOverlayArm();
  void KeyOverlayToggle();
  [[noreturn]] void End();
  SaverEndServices EndServices() const {
    return {services_.timers, services_.system, services_.power, services_.graphics};
  }

  Services services_;
  std::unique_ptr<SaverWindow> window_;
  // The last mouse-move position seen (-1 = none yet).
  float last_x_ = -1.0f;
  float last_y_ = -1.0f;
  std::int32_t last_activity_;
  WindowHandle hack_host_ = 0;  // the daemon's window, when serving as its hack
};
