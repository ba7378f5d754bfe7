#pragma once
// Options window port: the platform dialog that shows the options view-model
// and forwards the user's actions to it.
#include <string>

#include "platform/window_system.h"

class PictureBox;

class OptionsWindow {
 public:
  virtual ~OptionsWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // SetWindowLongA(window, GWL_HWNDPARENT, owner): the dialog is owned by that window.
  virtual void SetOwner(WindowHandle owner) = 0;
  // SetWindowPos(window, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE).
  virtual void MoveTo(int x, int y) = 0;
  // The window's outer size in pixels.
  virtual int OuterWidth() const = 0;
  virtual int OuterHeight() const = 0;
  // Shows the dialog modeless.
  virtual void Show() = 0;
  // The live preview's picture box; null when it has no surface.
  virtual PictureBox* picSaver() = 0;
};
