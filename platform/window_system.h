#pragma once
// Window-system port: the few operations the program performs on windows it
// is handed by handle (the screen-saver host's preview window, the options
// dialog's owner). Each subsystem makes its own windows through its own port.
// Windows: user32 (window_system_win.cpp). Linux: GDK/X11 (window_system_gtk.cpp).
// UI thread only.
#include <cstdint>
#include <memory>

// HWND on Windows, an X window id on Linux; 0 means none.
using WindowHandle = std::intptr_t;

// A window's normal-position rectangle (GetWindowPlacement's rcNormalPosition).
struct WindowRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // GetParent: 0 when the window has no parent or is not a valid window.
  virtual WindowHandle GetParent(WindowHandle window) = 0;
  // GetWindowPlacement's normal rectangle; false when the window is not valid.
  virtual bool GetNormalRect(WindowHandle window, WindowRect* rect) = 0;
  virtual void EnableWindow(WindowHandle window, bool enable) = 0;
  // SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE).
  virtual void SetNotTopmost(WindowHandle window) = 0;
};

std::unique_ptr<WindowSystem> CreatePlatformWindowSystem();
