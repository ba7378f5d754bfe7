#pragma once
// The engine form's window: hidden, carries the program's caption and icon,
// and receives the system's monitor-power commands (the power hook).
#include <string>

#include "platform/window_system.h"

class EngineWindow {
 public:
  virtual ~EngineWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
};
