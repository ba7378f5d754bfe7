#pragma once
// Saver window port: a borderless window over one monitor (or a child of the
// screen-saver host's preview window) whose picture box fills it. Platform
// windows forward their input to SaverWindowEvents with Windows virtual-key
// codes (the Linux layer maps GDK key values).
#include "platform/window_system.h"

class PictureBox;

// Reasons for an unload, as QueryUnload receives them.
enum UnloadMode : int {
  kUnloadFromControlMenu = 0,  // the user closed the window
  kUnloadFromCode = 1,         // the program unloads it
  kUnloadAppWindows = 2,       // the session ends
  kUnloadTaskManager = 3,      // the task list closes it
};

// Mouse buttons as forms report them.
enum MouseButton : int { kButtonNone = 0, kButtonLeft = 1, kButtonRight = 2, kButtonMiddle = 4 };

class SaverWindowEvents {
 public:
  virtual ~SaverWindowEvents() = default;
  virtual void Form_KeyDown(int key_code, int shift) = 0;
  virtual void picSaver_MouseDown(int button, int shift, float x, float y) = 0;
  virtual void picSaver_MouseUp(int button, int shift, float x, float y) = 0;
  virtual void picSaver_MouseMove(int button, int shift, float x, float y) = 0;
  // Cancel (non-zero) keeps the window.
  virtual void Form_QueryUnload(int& cancel, int unload_mode) = 0;
  virtual void Form_Unload(int& cancel) = 0;
};

class SaverWindow {
 public:
  virtual ~SaverWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual PictureBox& picSaver() = 0;
  // SetWindowPos(window, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW).
  virtual void PlaceTopmost(int x, int y, int width, int height) = 0;
  // Makes the window a child of the preview host at (0, 0) with the size of
  // the host's normal rectangle, and shows it.
  virtual void EmbedInto(WindowHandle host, const WindowRect& host_rect) = 0;
};
