#pragma once
// The options dialog on the real Win32 window (every other port faked), and
// a way to answer the modal dialogs a call opens from inside their own
// message loop.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_options.h"
#include "fakes/fake_ports.h"
#include "options/options_dialog.h"
#include "options/options_window_win.h"
#include "platform/window_system.h"
#include "startup/identity.h"

class Win32OptionsTest : public ::testing::Test {
 protected:
  Win32OptionsTest() : windows_(CreatePlatformWindowSystem()) {
    RestoreIdentity(s);
    s.DefaultSettings = MakeDefaultSettings();
    s.CurrentSettings = s.DefaultSettings;
    s.ports.windows = windows_.get();
  }
  ~Win32OptionsTest() override { s.C.reset(); }

  OptionsDialog& Open() {
    auto engine_owned = std::make_unique<FakePreviewEngine>(s);
    auto storage_owned = std::make_unique<FakeOptionsStorage>(s);
    engine = engine_owned.get();
    storage = storage_owned.get();
    s.C = std::make_unique<OptionsDialog>(s, std::move(engine_owned), std::move(storage_owned));
    dialog = s.C.get();
    dialog->Load();
    hwnd = reinterpret_cast<HWND>(dialog->Window()->Handle());
    return *dialog;
  }

  HWND Item(ControlId id) const { return GetDlgItem(hwnd, Win32ControlCommandId(id)); }
  // What the user does: the widget changes, then tells its dialog.
  void Notify(ControlId id, int code) {
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(Win32ControlCommandId(id), code), reinterpret_cast<LPARAM>(Item(id)));
  }
  void Click(ControlId id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  bool Shown(ControlId id) const { return (GetWindowLongA(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
  bool Enabled(ControlId id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  std::string Text(ControlId id) const {
    char text[1024] = {};
    GetWindowTextA(Item(id), text, sizeof text);
    return text;
  }
  std::string ListLine(ControlId id, int index) const {
    char line[1024] = {};
    const bool list = InfoOf(id).kind == ControlKind::ListBox;
    SendMessageA(Item(id), list ? LB_GETTEXT : CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(line));
    return line;
  }
  int Count(ControlId id) const {
    const bool list = InfoOf(id).kind == ControlKind::ListBox;
    return static_cast<int>(SendMessageA(Item(id), list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
  }
  int Selected(ControlId id) const {
    const bool list = InfoOf(id).kind == ControlKind::ListBox;
    return static_cast<int>(SendMessageA(Item(id), list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
  }
  int ClientWidth() const {
    RECT r;
    GetClientRect(hwnd, &r);
    return r.right;
  }

  FakeProgram p;
  ProgramState& s = p.state;
  FakeDialogServices& services = p.fakes.dialogs;
  FakePreviewEngine* engine = nullptr;
  FakeOptionsStorage* storage = nullptr;
  OptionsDialog* dialog = nullptr;
  HWND hwnd = nullptr;

 private:
  std::unique_ptr<WindowSystem> windows_;
};

// Runs `act` on the next modal dialog (a "#32770" window of this thread that
// is enabled and visible) from a thread timer, until it returns true. A
// dialog left unanswered for ten seconds is cancelled, so a test cannot hang.
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<bool(HWND)> act) : act_(std::move(act)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &ModalAnswer::Tick);
  }
  ~ModalAnswer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;
  bool answered() const { return answered_; }

 private:
  static BOOL CALLBACK FindModal(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalAnswer* self = current_;
    if (!self || self->answered_) return;
    HWND modal = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &ModalAnswer::FindModal, reinterpret_cast<LPARAM>(&modal));
    if (!modal) return;
    if (++self->ticks_ > 200) {
      PostMessageA(modal, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    self->answered_ = self->act_(modal);
  }

  static inline ModalAnswer* current_ = nullptr;
  std::function<bool(HWND)> act_;
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool answered_ = false;
};

// Presses a button of a dialog as the user would.
inline void PressDialogButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
