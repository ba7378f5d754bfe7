// Win32 backend of the window-system port (user32).
#include <windows.h>

#include "platform/window_system.h"

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
};

}  // namespace

std::unique_ptr<WindowSystem> CreatePlatformWindowSystem() { return std::make_unique<Win32WindowSystem>(); }
