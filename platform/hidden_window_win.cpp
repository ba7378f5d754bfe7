// Win32 backend of the hidden window: a hidden top-level window (so system
// broadcasts such as the monitor-power command reach it) carrying the
// program's caption and icon.
#include "platform/hidden_window.h"

#include <windows.h>

namespace {

constexpr char kClassName[] = "GlimmoraHiddenWindow";

class Win32HiddenWindow final : public HiddenWindow {
 public:
  Win32HiddenWindow() {
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
  // A window destroyed while still hooked no longer calls out of this object.
  ~Win32HiddenWindow() override {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetCaption(const std::string& caption) override { SetWindowTextA(hwnd_, caption.c_str()); }

  // The replacement is a static procedure that finds this object in the
  // window's user data and hands the message to proc.
  std::uintptr_t InstallWindowProc(WindowProc proc) override {
    proc_ = std::move(proc);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    LONG_PTR previous = SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32HiddenWindow::Thunk));
    return static_cast<std::uintptr_t>(previous);
  }

  // proc_ stays: the procedure may be running right now (the restore can come
  // from inside a message), and nothing calls the thunk once it is unhooked.
  void RestoreWindowProc(std::uintptr_t previous) override {
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
  }

  std::intptr_t PassToWindowProc(std::uintptr_t previous, const WindowMessage& m) override {
    return CallWindowProcA(reinterpret_cast<WNDPROC>(previous), hwnd_, static_cast<UINT>(m.message),
                           static_cast<WPARAM>(m.w_param), static_cast<LPARAM>(m.l_param));
  }

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Win32HiddenWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->proc_) return DefWindowProcA(hwnd, message, wparam, lparam);
    return self->proc_(WindowMessage{message, static_cast<std::uintptr_t>(wparam), static_cast<std::intptr_t>(lparam)});
  }

  HWND hwnd_ = nullptr;
  WindowProc proc_;
};

}  // namespace

std::unique_ptr<HiddenWindow> CreatePlatformHiddenWindow() { return std::make_unique<Win32HiddenWindow>(); }
