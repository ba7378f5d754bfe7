#pragma once
// Saver window port: a borderless window over one monitor (or a child of the
// screen-saver host's preview window) whose picture box fills it. Platform
// windows forward their input to SaverWindowEvents with Windows virtual-key
// codes (the Linux layer maps GDK key values).
// Windows: saver_window_win.cpp. Linux: saver_window_gtk.cpp. Tests: a fake.
#include <functional>
#include <memory>

#include "platform/window_system.h"

class PictureBox;

// Why a window is being closed.
enum CloseReason : int {
  kClosedByUser = 0,        // the close box or its system menu
  kClosedByProgram = 1,     // the program closes it
  kClosedBySessionEnd = 2,  // the session ends
  kClosedByTaskList = 3,    // the task list closes it
};

// Mouse buttons, as the events report them (several may be held).
enum MouseButton : int { kButtonNone = 0, kButtonLeft = 1, kButtonRight = 2, kButtonMiddle = 4 };

class SaverWindowEvents {
 public:
  virtual ~SaverWindowEvents() = default;
  // shift: 1 Shift, 2 Ctrl, 4 Alt held.
  virtual void OnKeyDown(int key_code, int shift) = 0;
  virtual void OnMouseDown(int button, int shift, float x, float y) = 0;
  virtual void OnMouseUp(int button, int shift, float x, float y) = 0;
  virtual void OnMouseMove(int button, int shift, float x, float y) = 0;
  // Setting cancel non-zero keeps the window.
  virtual void OnCloseRequest(int& cancel, int reason) = 0;
  // The window is going away (closed, or its preview host destroyed).
  virtual void OnClosed(int& cancel) = 0;
};

class SaverWindow {
 public:
  virtual ~SaverWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual PictureBox& Surface() = 0;
  // SetWindowPos(window, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW).
  virtual void PlaceTopmost(int x, int y, int width, int height) = 0;
  // Makes the window a child of the preview host at (0, 0) with the size of
  // the host's normal rectangle, and shows it.
  virtual void EmbedInto(WindowHandle host, const WindowRect& host_rect) = 0;
};

using SaverWindowFactory = std::function<std::unique_ptr<SaverWindow>(SaverWindowEvents&)>;

std::unique_ptr<SaverWindow> CreatePlatformSaverWindow(SaverWindowEvents& events);
