// Win32 backend of the saver window: a borderless popup that is its own
// picture box; keys, mouse and close requests go to the saver screen's handlers.
#include "saver/saver_window.h"

#include <windows.h>
#include <windowsx.h>

#include "platform/keyboard_win.h"
#include "render/picture_box_win.h"

namespace {

constexpr char kClassName[] = "GlimmoraSaverWindow";

int ButtonsOf(WPARAM wparam) {
  int button = 0;
  if (wparam & MK_LBUTTON) button |= 1;
  if (wparam & MK_RBUTTON) button |= 2;
  if (wparam & MK_MBUTTON) button |= 4;
  return button;
}

class Win32SaverWindow final : public SaverWindow {
 public:
  explicit Win32SaverWindow(SaverWindowEvents& events) : events_(events) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Win32SaverWindow::WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly after the first window
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, this);
    box_ = std::make_unique<Win32PictureBox>(hwnd_);
  }

  ~Win32SaverWindow() override {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    box_.reset();
    DestroyWindow(hwnd_);
  }

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  PictureBox& Surface() override { return *box_; }

  // Windows has no keyboard grab: the foreground window gets the keys.
  void PlaceTopmost(int x, int y, int width, int height, bool) override {
    SetWindowPos(hwnd_, HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
  }

  // The preview host's sequence: child style, owner, parent, then size
  // without touching the z-order. WS_POPUP goes as WS_CHILD comes, as
  // SetParent requires of a former top-level window. Windows runs no
  // daemon's hack, so the child always takes its input.
  void EmbedInto(WindowHandle host, const WindowRect& r, bool) override {
    HWND parent = reinterpret_cast<HWND>(host);
    LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
    SetWindowLongA(hwnd_, GWL_STYLE, (style & ~static_cast<LONG>(WS_POPUP)) | WS_CHILD);
    SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(parent));
    SetParent(hwnd_, parent);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32SaverWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && self->box_) {
      if (LRESULT result; self->OnMessage(message, wparam, lparam, &result)) return result;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    *result = 0;
    float x = static_cast<float>(GET_X_LPARAM(lparam));
    float y = static_cast<float>(GET_Y_LPARAM(lparam));
    switch (message) {
      case WM_PAINT: box_->OnPaint(); return true;
      case WM_ERASEBKGND: *result = 1; return true;
      case WM_SIZE: box_->Resize(LOWORD(lparam), HIWORD(lparam)); return false;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: events_.OnKeyDown(static_cast<int>(wparam), ShiftState()); return true;
      case WM_LBUTTONDOWN: events_.OnMouseDown(1, ShiftState(), x, y); return true;
      case WM_RBUTTONDOWN: events_.OnMouseDown(2, ShiftState(), x, y); return true;
      case WM_MBUTTONDOWN: events_.OnMouseDown(4, ShiftState(), x, y); return true;
      case WM_LBUTTONUP: events_.OnMouseUp(1, ShiftState(), x, y); return true;
      case WM_RBUTTONUP: events_.OnMouseUp(2, ShiftState(), x, y); return true;
      case WM_MBUTTONUP: events_.OnMouseUp(4, ShiftState(), x, y); return true;
      case WM_MOUSEMOVE: events_.OnMouseMove(ButtonsOf(wparam), ShiftState(), x, y); return true;
      case WM_CLOSE: {
        bool cancel = false;
        events_.OnCloseRequest(cancel, CloseReason::User);
        if (!cancel) events_.OnClosed(cancel);
        return true;
      }
      // Destroyed by someone else: the preview host closed and took its
      // children along. (Our own destructor detaches before destroying.)
      case WM_DESTROY: {
        bool cancel = false;
        events_.OnClosed(cancel);
        return false;
      }
      // Each window covers its monitor exactly, whatever that monitor's scale:
      // the rectangle the system suggests on a DPI change is not taken.
      case WM_DPICHANGED: return true;
      case WM_QUERYENDSESSION: {
        bool cancel = false;
        events_.OnCloseRequest(cancel, CloseReason::SessionEnd);
        *result = TRUE;
        return true;
      }
      default: return false;
    }
  }

  SaverWindowEvents& events_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<Win32PictureBox> box_;
};

}  // namespace

std::unique_ptr<SaverWindow> CreatePlatformSaverWindow(SaverWindowEvents& events) {
  return std::make_unique<Win32SaverWindow>(events);
}
