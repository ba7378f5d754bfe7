// Win32 backend of the window-system port (user32).
#include <windows.h>

#include "options/options_window_win.h"
#include "platform/window_system.h"
#include "saver/saver_window_win.h"
#include "startup/engine_window_win.h"

namespace {

HWND H(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

class Win32WindowSystem final : public WindowSystem {
 public:
  WindowHandle GetParent(WindowHandle window) override {
    return reinterpret_cast<WindowHandle>(::GetParent(H(window)));
  }

  bool GetNormalRect(WindowHandle window, WindowRect* rect) override {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;  // 44 bytes
    if (!GetWindowPlacement(H(window), &placement)) return false;
    const RECT& r = placement.rcNormalPosition;
    *rect = WindowRect{r.left, r.top, r.right, r.bottom};
    return true;
  }

  void EnableWindow(WindowHandle window, bool enable) override { ::EnableWindow(H(window), enable ? TRUE : FALSE); }

  void SetNotTopmost(WindowHandle window) override {
    SetWindowPos(H(window), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  }

  std::unique_ptr<SaverWindow> CreateSaverWindow(SaverWindowEvents& events) override {
    return CreateWin32SaverWindow(events);
  }
  std::unique_ptr<EngineWindow> CreateEngineWindow() override { return CreateWin32EngineWindow(); }
  std::unique_ptr<OptionsWindow> CreateOptionsWindow(OptionsDialog& dialog) override {
    return CreateWin32OptionsWindow(dialog);
  }
};

}  // namespace

std::unique_ptr<WindowSystem> CreatePlatformWindowSystem() { return std::make_unique<Win32WindowSystem>(); }
