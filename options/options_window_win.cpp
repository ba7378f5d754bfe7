// Win32 backend of the options dialog.
// Implemented: [x] the window: caption, owner, placement, close box
// Missing:     [ ] the controls
#include "options/options_window_win.h"

#include <windows.h>

#include "options/options_dialog.h"

namespace {

constexpr char kClassName[] = "GlimmoraOptionsWindow";
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;

// Twips to pixels at the screen's DPI.
int Twips(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

class Win32OptionsWindow final : public OptionsWindow {
 public:
  explicit Win32OptionsWindow(OptionsDialog& dialog) : dialog_(dialog) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Win32OptionsWindow::WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT r{0, 0, Twips(4980, dpi), Twips(7950, dpi)};
    AdjustWindowRectEx(&r, kStyle, FALSE, WS_EX_DLGMODALFRAME);
    hwnd_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, "", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, this);
  }
  ~Win32OptionsWindow() override {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetCaption(const std::string& caption) override { SetWindowTextA(hwnd_, caption.c_str()); }
  void SetOwner(WindowHandle owner) override {
    SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, static_cast<LONG_PTR>(owner));
  }
  void MoveTo(int x, int y) override { SetWindowPos(hwnd_, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE); }
  int OuterWidth() const override { return Size().cx; }
  int OuterHeight() const override { return Size().cy; }
  void Show() override {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
  }
  PictureBox* picSaver() override { return nullptr; }
  // First cut: the controls are not built yet, so there is nothing to update.
  void ControlChanged(ControlId, unsigned) override {}
  void SetClientSize(int, int) override {}
  void FocusControl(ControlId) override {}

 private:
  SIZE Size() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  }

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32OptionsWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && message == WM_CLOSE) {
      self->dialog_.Form_Unload();
      return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }

  OptionsDialog& dialog_;
  HWND hwnd_ = nullptr;
};

}  // namespace

std::unique_ptr<OptionsWindow> CreateWin32OptionsWindow(OptionsDialog& dialog) {
  return std::make_unique<Win32OptionsWindow>(dialog);
}
