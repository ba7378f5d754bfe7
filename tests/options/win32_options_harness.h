#pragma once
// The options dialog on the real Win32 window (every other port faked), and
// a way to answer the modal dialogs a call opens from inside their own loop.
#include <windows.h>

#include <functional>

#include "options/dialog_util_win.h"
#include "options/options_window_win.h"
#include "options_fixture.h"

// The options dialog on its Win32 window, with the widget queries and user
// actions of the options-window contract.
struct Win32WindowRig : OptionsHarness {
  Win32WindowRig() { window_factory = CreatePlatformOptionsWindow; }
  ~Win32WindowRig() { dialog.reset(); }
  bool Ready() { return true; }
  void ShowWindow() {
    dialog->Show();
    hwnd = reinterpret_cast<HWND>(dialog->Window()->Handle());
  }
  HWND Item(ControlId id) const { return GetDlgItem(hwnd, Win32ControlCommandId(id)); }
  LRESULT Send(ControlId id, UINT message, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(Item(id), message, w, l); }
  // What the user does: the widget changes, then tells its dialog.
  void Notify(ControlId id, int code) {
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(Win32ControlCommandId(id), code), reinterpret_cast<LPARAM>(Item(id)));
  }
  Lines Rows(ControlId list) {
    Lines rows(Send(list, LB_GETCOUNT));
    char line[1024];
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = (Send(list, LB_GETTEXT, i, (LPARAM)line), line);
    return rows;
  }
  int ComboIndex(ControlId id) { return static_cast<int>(Send(id, CB_GETCURSEL)); }
  bool Checked(ControlId id) { return Send(id, BM_GETCHECK) == BST_CHECKED; }
  bool WidgetEnabled(ControlId id) { return IsWindowEnabled(Item(id)); }
  bool WidgetVisible(ControlId id) { return IsWindowVisible(Item(id)); }
  std::string Text(ControlId id) { return WindowText(Item(id)); }
  void Click(ControlId id) { Send(id, BM_CLICK); }
  void SelectRow(ControlId list, int row) {
    Send(list, LB_SETCURSEL, row);
    Notify(list, LBN_SELCHANGE);
  }
  void SelectCombo(ControlId id, int index) {
    Send(id, CB_SETCURSEL, index);
    Notify(id, CBN_SELCHANGE);
  }
  void Toggle(ControlId id) { Click(id); }
  void Type(ControlId id, const std::string& text) { SetWindowTextA(Item(id), text.c_str()); }
  // Through the dialog manager, as the message loop hands it the key.
  void PressEnterInPreview() {
    SetFocus(Item(C::Preview));
    MSG enter{Item(C::Preview), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    IsDialogMessageA(hwnd, &enter);
  }
  HWND hwnd = nullptr;
};

class Win32OptionsTest : public ::testing::Test, public Win32WindowRig {};

// Runs `act` once on the next modal dialog (a visible, enabled "#32770" window
// of this thread) from a thread timer.
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(HWND)> act) : act_(std::move(act)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &ModalAnswer::Tick);
  }
  ~ModalAnswer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool answered = false;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND modal = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM found) {
          char name[64] = {};
          GetClassNameA(w, name, sizeof name);
          if (std::string(name) != "#32770" || !IsWindowVisible(w) || !IsWindowEnabled(w)) return TRUE;
          *reinterpret_cast<HWND*>(found) = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&modal));
    if (!current_ || !modal || current_->answered) return;
    current_->answered = true;
    current_->act_(modal);
  }
  static inline ModalAnswer* current_ = nullptr;
  std::function<void(HWND)> act_;
  UINT_PTR timer_ = 0;
};

// Presses a button of a dialog as the user would.
inline void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
