#pragma once
// Saver window port: a borderless window over one monitor (or a child of the
// screen-saver host's preview window, or of a daemon's hack window) whose
// picture box fills it. Platform
// windows forward their input to SaverWindowEvents with Windows virtual-key
// codes (the Linux layer maps GDK key values).
// Windows: saver_window_win.cpp. Linux: saver_window_gtk.cpp. Tests: a fake.
// UI thread only.
#include <functional>
#include <memory>

#include "platform/window_system.h"

class PictureBox;

// Why a window is being closed.
enum class CloseReason {
  User,        // the close box or its system menu
  Program,     // the program closes it
  SessionEnd,  // the session ends
  TaskList,    // the task list closes it
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
  // Setting cancel keeps the window.
  virtual void OnCloseRequest(bool& cancel, CloseReason reason) = 0;
  // The window is going away (closed, or its preview host destroyed).
  virtual void OnClosed(bool& cancel) = 0;
};

class SaverWindow {
 public:
  virtual ~SaverWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual PictureBox& Surface() = 0;
  // SetWindowPos(window, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW). With
  // grab_keyboard every key comes to the saver wherever the focus was;
  // without, keys reach it only where they would reach any window, so the
  // user can still type into the others.
  virtual void PlaceTopmost(int x, int y, int width, int height, bool grab_keyboard) = 0;
  // Makes the window a child of the host at (0, 0) with the size of the
  // host's normal rectangle, and shows it; it keeps the host's size as that
  // changes. Without take_input, keys and the mouse pass through it to the
  // host, as a screen-saver daemon that owns them needs.
  virtual void EmbedInto(WindowHandle host, const WindowRect& host_rect, bool take_input) = 0;
};

using SaverWindowFactory = std::function<std::unique_ptr<SaverWindow>(SaverWindowEvents&)>;

std::unique_ptr<SaverWindow> CreatePlatformSaverWindow(SaverWindowEvents& events);
