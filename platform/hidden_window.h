#pragma once
// The show's hidden window: it carries the program's caption and icon, and
// receives the system's monitor-power commands (the power watch replaces its
// window procedure, as subclassing a window does on Windows).
// Windows: hidden_window_win.cpp. Linux: hidden_window_gtk.cpp, where nothing
// arrives by message and the power port reports changes instead. UI thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/window_system.h"

// One window message, numbered as Windows numbers them.
struct WindowMessage {
  std::uint32_t message = 0;
  std::uintptr_t w_param = 0;
  std::intptr_t l_param = 0;
};

// A replacement window procedure; its result is the message's result.
using WindowProc = std::function<std::intptr_t(const WindowMessage&)>;

class HiddenWindow {
 public:
  virtual ~HiddenWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;

  // SetWindowLongPtr(GWLP_WNDPROC): every message the window receives from
  // now on goes to proc. Returns the address of the procedure it replaces.
  virtual std::uintptr_t InstallWindowProc(WindowProc proc) = 0;
  // Puts back a procedure that InstallWindowProc returned.
  virtual void RestoreWindowProc(std::uintptr_t previous) = 0;
  // CallWindowProc: hands the message to a procedure that InstallWindowProc
  // returned and gives back its result.
  virtual std::intptr_t PassToWindowProc(std::uintptr_t previous, const WindowMessage& message) = 0;
};

std::unique_ptr<HiddenWindow> CreatePlatformHiddenWindow();
