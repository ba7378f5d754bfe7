#pragma once
// The options dialog on the real Win32 window (every other port faked), and
// a way to answer the modal dialogs a call opens from inside their own loop.
#include <windows.h>

#include <functional>

#include "options/dialog_util_win.h"
#include "options/options_window_win.h"
#include "options_fixture.h"

// The options dialog on its Win32 window, with the user's actions on it.
struct Win32WindowRig : OptionsHarness {
  Win32WindowRig() { window_factory = CreatePlatformOptionsWindow; }
  ~Win32WindowRig() { dialog.reset(); }
  void ShowWindow() {
    dialog->Show();
    hwnd = reinterpret_cast<HWND>(dialog->Window()->Handle());
  }
  HWND Item(ControlId id) const { return GetDlgItem(hwnd, Win32ControlCommandId(id)); }
  // What the user does: the widget changes, then tells its dialog.
  void Notify(ControlId id, int code) {
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(Win32ControlCommandId(id), code), reinterpret_cast<LPARAM>(Item(id)));
  }
  void Click(ControlId id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  void SelectRow(ControlId list, int row) {
    SendMessageA(Item(list), LB_SETCURSEL, row, 0);
    Notify(list, LBN_SELCHANGE);
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
