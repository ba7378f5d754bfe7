// Win32 backend of the options dialog: a modeless dialog of its own class
// (with the program's icon) holding one native control per row of the
// control table, placed at its twips position converted for the screen's DPI.
// The dialog manager does the keyboard work: the event loop passes messages
// through IsDialogMessage (SetModelessDialog), so Tab follows the creation
// order, Enter clicks Ok (IDOK, the default button), Esc clicks Cancel
// (IDCANCEL), and access keys move the focus, a shared letter moving on to
// the next label with that letter.
#include "options/options_window_win.h"

#include <windows.h>
#include <commctrl.h>

#include <array>

#include "options/control_widgets_win.h"
#include "options/dialog_util_win.h"
#include "options/options_dialog.h"
#include "platform/event_loop_win.h"
#include "render/picture_box_win.h"

namespace {

constexpr char kDialogClass[] = "GlimmoraOptionsDialog";
constexpr wchar_t kDialogClassW[] = L"GlimmoraOptionsDialog";
// A fixed single border: a caption and a close box, no sizing frame.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER;
constexpr DWORD kDialogExStyle = WS_EX_CONTROLPARENT;
constexpr int kFirstCommandId = 100;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void RegisterClasses(WNDPROC preview_proc) {
  WNDCLASSA dialog{};
  dialog.lpfnWndProc = DefDlgProcA;
  dialog.cbWndExtra = DLGWINDOWEXTRA;
  dialog.hInstance = Instance();
  dialog.hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(1));
  dialog.hCursor = LoadCursor(nullptr, IDC_ARROW);
  dialog.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  dialog.lpszClassName = kDialogClass;
  RegisterClassA(&dialog);  // fails harmlessly after the first window

  WNDCLASSA preview{};
  preview.lpfnWndProc = preview_proc;
  preview.hInstance = Instance();
  preview.hCursor = LoadCursor(nullptr, IDC_ARROW);
  preview.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  preview.lpszClassName = kPreviewBoxClass;
  RegisterClassA(&preview);

  INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&common);
}

ControlId ControlOfCommand(int command) {
  if (command == IDOK) return ControlId::Ok;
  if (command == IDCANCEL) return ControlId::Cancel;
  const int index = command - kFirstCommandId;
  return index >= 0 && index < kControlCount ? static_cast<ControlId>(index) : ControlId::Dialog;
}

bool HasFocusWithin(HWND window) {
  HWND focus = GetFocus();
  return focus && (focus == window || IsChild(window, focus));
}

class Win32OptionsWindow final : public OptionsWindow {
 public:
  explicit Win32OptionsWindow(OptionsDialog& dialog) : dialog_(dialog), dpi_(QueryScreenDpi()), fonts_(dpi_.y) {
    RegisterClasses(&Win32OptionsWindow::PreviewProc);
    DialogTemplate form(kDialogStyle, kDialogExStyle, kDialogClassW);
    CreateDialogIndirectParamA(Instance(), form.Get(), nullptr, &Win32OptionsWindow::DialogProc,
                               reinterpret_cast<LPARAM>(this));
    if (!hwnd_) return;
    SetClientPixels(hwnd_, PixelsX(dialog_.ClientWidthTwips()), PixelsY(dialog_.ClientHeightTwips()));
    PlaceOnScreen();
    tooltip_ =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Instance(), nullptr);
    for (int i = 0; i < kControlCount; ++i) controls_[i] = CreateControl(AllControls()[i]);
    preview_ = std::make_unique<Win32PictureBox>(Widget(ControlId::Preview));
    SetModelessDialog(hwnd_);
  }

  ~Win32OptionsWindow() override {
    SetModelessDialog(nullptr);
    if (!hwnd_) return;
    SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
    SetWindowLongPtrA(Widget(ControlId::Preview), GWLP_USERDATA, 0);
    preview_.reset();
    DestroyWindow(hwnd_);  // its children and the tooltip window (owned) go with it
  }

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetCaption(const std::string& caption) override { SetWindowTextA(hwnd_, caption.c_str()); }
  void SetOwner(WindowHandle owner) override { SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, owner); }
  void MoveTo(int x, int y) override { SetWindowPos(hwnd_, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE); }
  int OuterWidth() const override { return OuterRect().right - OuterRect().left; }
  int OuterHeight() const override { return OuterRect().bottom - OuterRect().top; }

  void Show() override {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    // The lowest tab index that can take the focus starts with it.
    if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) Focus(first);
    UpdateWindow(hwnd_);
  }

  PictureBox* Surface() override { return preview_.get(); }

  void ControlChanged(ControlId id, unsigned aspects) override {
    if (IndexOf(id) < 0 || IndexOf(id) >= kControlCount) return;
    HWND widget = Widget(id);
    const ControlState& state = dialog_.Control(id);
    const ControlKind kind = InfoOf(id).kind;
    ++applying_;  // what the widgets report while we write into them is not the user's
    if (aspects & kAspectItems) WriteItems(widget, kind, state);
    if (aspects & kAspectSelection) WriteSelection(widget, kind, state);
    if (aspects & kAspectChecked) WriteChecked(widget, kind, state);
    if (aspects & kAspectText) WriteText(widget, kind, state);
    if (aspects & kAspectColor) InvalidateRect(widget, nullptr, TRUE);
    if (aspects & kAspectVisible) ApplyVisibility(id);
    if (aspects & kAspectEnabled) ApplyEnabled(widget, state.enabled);
    --applying_;
  }

  void SetClientSize(int width_twips, int height_twips) override {
    SetClientPixels(hwnd_, PixelsX(width_twips), PixelsY(height_twips));
  }

  void FocusControl(ControlId id) override {
    if (IndexOf(id) < 0 || IndexOf(id) >= kControlCount) return;
    HWND widget = Widget(id);
    if (IsWindowVisible(widget) && IsWindowEnabled(widget)) Focus(widget);
  }

 private:
  HWND Widget(ControlId id) const { return controls_[IndexOf(id)]; }
  int PixelsX(int twips) const { return TwipsToPixels(twips, dpi_.x); }
  int PixelsY(int twips) const { return TwipsToPixels(twips, dpi_.y); }
  RECT OuterRect() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r;
  }
  void Focus(HWND widget) { SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(widget), TRUE); }

  // Centred on the work area as it will be with the Info panel open, so
  // opening the panel keeps the dialog on the screen.
  void PlaceOnScreen() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT outer = OuterRect();
    const int width = outer.right - outer.left + PixelsX(InfoOf(ControlId::InfoPanel).rect.width + kInfoPanelMargin);
    const int height = outer.bottom - outer.top;
    const int x = work.left + ((work.right - work.left) - width) / 2;
    const int y = work.top + ((work.bottom - work.top) - height) / 2;
    SetWindowPos(hwnd_, nullptr, x > work.left ? x : work.left, y > work.top ? y : work.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The control's place in the dialog's client area: its table place plus
  // that of its frame, the right and bottom edges converted on their own so
  // neighbours stay flush at any DPI.
  RECT PixelRect(const ControlInfo& info) const {
    int left = info.rect.left, top = info.rect.top;
    for (ControlId c = info.container; c != ControlId::Dialog; c = InfoOf(c).container) {
      left += InfoOf(c).rect.left;
      top += InfoOf(c).rect.top;
    }
    return RECT{PixelsX(left), PixelsY(top), PixelsX(left + info.rect.width), PixelsY(top + info.rect.height)};
  }

  bool ShownOnScreen(ControlId id) const {
    for (ControlId c = id; c != ControlId::Dialog; c = InfoOf(c).container) {
      if (!dialog_.Control(c).visible) return false;
    }
    return true;
  }

  static bool Within(ControlId id, ControlId frame) {
    for (ControlId c = id; c != ControlId::Dialog; c = InfoOf(c).container) {
      if (c == frame) return true;
    }
    return false;
  }

  HWND CreateControl(const ControlInfo& info) {
    const WidgetClass widget_class = WidgetClassOf(info);
    DWORD style = WS_CHILD | WS_GROUP | widget_class.style;
    if (IsTabStop(info)) style |= WS_TABSTOP;
    if (ShownOnScreen(info.id)) style |= WS_VISIBLE;
    if (!dialog_.Control(info.id).enabled) style |= WS_DISABLED;
    const RECT r = PixelRect(info);
    HWND widget = CreateWindowExA(
        widget_class.ex_style, widget_class.class_name, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
        hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Win32ControlCommandId(info.id))), Instance(), this);
    SendMessageA(widget, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.For(info.font)), FALSE);
    if (info.kind == ControlKind::ComboBox) SizeComboBox(widget, r.bottom - r.top);
    if (*info.tooltip) AddTooltip(widget, info.tooltip);
    ++applying_;
    const ControlState& state = dialog_.Control(info.id);
    WriteItems(widget, info.kind, state);
    WriteChecked(widget, info.kind, state);
    WriteText(widget, info.kind, state);
    --applying_;
    return widget;
  }

  void AddTooltip(HWND widget, const char* text) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every comctl32 version
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(widget);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }

  // A frame shows or hides its controls with it. The focus does not stay
  // behind on a control that disappears.
  void ApplyVisibility(ControlId id) {
    for (int i = 0; i < kControlCount; ++i) {
      const ControlInfo& info = AllControls()[i];
      if (!Within(info.id, id)) continue;
      HWND widget = controls_[i];
      const bool shown = ShownOnScreen(info.id);
      if (!shown) MoveFocusAwayFrom(widget);
      ShowWindow(widget, shown ? SW_SHOWNA : SW_HIDE);
    }
  }

  void ApplyEnabled(HWND widget, bool enabled) {
    if (!enabled) MoveFocusAwayFrom(widget);
    EnableWindow(widget, enabled ? TRUE : FALSE);
  }

  void MoveFocusAwayFrom(HWND widget) {
    if (!HasFocusWithin(widget)) return;
    HWND next = GetNextDlgTabItem(hwnd_, widget, FALSE);
    if (next && next != widget) {
      Focus(next);
    } else {
      SetFocus(hwnd_);
    }
  }

  // ---- Events in ----------------------------------------------------------------

  bool OnCommand(int command, int code, HWND from) {
    const ControlId id = ControlOfCommand(command);
    if (id == ControlId::Dialog) return false;
    if (applying_ > 0) return true;
    HWND widget = from ? from : Widget(id);
    switch (InfoOf(id).kind) {
      case ControlKind::Button:
        if (code == BN_CLICKED) dialog_.OnClick(id);
        break;
      case ControlKind::CheckBox:
        if (code == BN_CLICKED) dialog_.OnCheck(id, SendMessageA(widget, BM_GETCHECK, 0, 0) != BST_UNCHECKED);
        break;
      case ControlKind::ListBox:
        if (code == LBN_SELCHANGE) dialog_.OnSelect(id, static_cast<int>(SendMessageA(widget, LB_GETCURSEL, 0, 0)));
        break;
      case ControlKind::ComboBox:
        if (code == CBN_SELCHANGE) dialog_.OnSelect(id, static_cast<int>(SendMessageA(widget, CB_GETCURSEL, 0, 0)));
        break;
      case ControlKind::TextBox:
        if (code == EN_CHANGE) dialog_.OnTextChange(id, WindowText(widget));
        break;
      case ControlKind::Label:
        if (code == STN_DBLCLK) dialog_.OnDoubleClick(id);
        break;
      default: break;
    }
    return true;
  }

  // The link's blue, the change log's button-face background.
  INT_PTR OnCtlColor(HDC dc, HWND widget) {
    const ControlId id = ControlOfCommand(GetDlgCtrlID(widget));
    if (id == ControlId::Dialog) return FALSE;
    const ControlInfo& info = InfoOf(id);
    if (info.fore_color < 0 && info.back_color != kSystemButtonFace) return FALSE;
    if (info.fore_color >= 0) SetTextColor(dc, static_cast<COLORREF>(info.fore_color));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
  }

  // The colour swatches: filled with their colour, with a thin black border.
  bool OnDrawItem(const DRAWITEMSTRUCT& item) {
    const ControlId id = ControlOfCommand(static_cast<int>(item.CtlID));
    if (id == ControlId::Dialog || InfoOf(id).kind != ControlKind::Shape) return false;
    HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(dialog_.Control(id).color & 0x00FFFFFF));
    FillRect(item.hDC, &item.rcItem, fill);
    DeleteObject(fill);
    FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return true;
  }

  bool OnSetCursor(HWND over) {
    if (over != Widget(ControlId::AboutLink)) return false;
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    return true;
  }

  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_COMMAND: return OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      case WM_CLOSE: dialog_.Close(); return TRUE;
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX: return OnCtlColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
      case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      case WM_SETCURSOR:
        if (!OnSetCursor(reinterpret_cast<HWND>(wparam))) return FALSE;
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      default: return FALSE;
    }
  }

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
      reinterpret_cast<Win32OptionsWindow*>(lparam)->hwnd_ = hwnd;
      return FALSE;  // the focus is given when the dialog is shown
    }
    auto* self = reinterpret_cast<Win32OptionsWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return self ? self->OnMessage(message, wparam, lparam) : FALSE;
  }

  // ---- The preview box ------------------------------------------------------------

  // It takes every key but Tab (so the focus can leave it) and Esc (which
  // cancels the dialog wherever the focus is).
  static LRESULT PreviewDialogCode(LPARAM lparam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
        (msg->wParam == VK_TAB || msg->wParam == VK_ESCAPE)) {
      return 0;
    }
    return DLGC_WANTALLKEYS;
  }

  static LRESULT CALLBACK PreviewProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32OptionsWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->preview_) return DefWindowProcA(hwnd, message, wparam, lparam);
    switch (message) {
      case WM_GETDLGCODE: return PreviewDialogCode(lparam);
      case WM_KEYDOWN: self->dialog_.OnKeyDown(ControlId::Preview, static_cast<int>(wparam), ShiftState()); return 0;
      case WM_LBUTTONDOWN: self->Focus(hwnd); return 0;
      case WM_PAINT: self->preview_->OnPaint(); return 0;
      case WM_ERASEBKGND: return 1;  // the back buffer covers it all
      case WM_SIZE: self->preview_->Resize(LOWORD(lparam), HIWORD(lparam)); return 0;
      default: return DefWindowProcA(hwnd, message, wparam, lparam);
    }
  }

  OptionsDialog& dialog_;
  ScreenDpi dpi_;
  FontSet fonts_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  std::unique_ptr<Win32PictureBox> preview_;
  int applying_ = 0;
};

}  // namespace

int Win32ControlCommandId(ControlId id) {
  if (id == ControlId::Ok) return IDOK;
  if (id == ControlId::Cancel) return IDCANCEL;
  return kFirstCommandId + IndexOf(id);
}

std::unique_ptr<OptionsWindow> CreatePlatformOptionsWindow(OptionsDialog& dialog) {
  return std::make_unique<Win32OptionsWindow>(dialog);
}
