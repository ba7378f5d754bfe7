// Win32 backend of the engine window: a hidden top-level window (so system
// broadcasts such as the monitor-power command reach it) carrying the
// program's caption and icon.
#include "startup/engine_window_win.h"

#include <windows.h>

namespace {

constexpr char kClassName[] = "GlimmoraEngineWindow";

class Win32EngineWindow final : public EngineWindow {
 public:
  Win32EngineWindow() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance,
                            nullptr);
  }
  ~Win32EngineWindow() override { DestroyWindow(hwnd_); }

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetCaption(const std::string& caption) override { SetWindowTextA(hwnd_, caption.c_str()); }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace

std::unique_ptr<EngineWindow> CreateWin32EngineWindow() { return std::make_unique<Win32EngineWindow>(); }
