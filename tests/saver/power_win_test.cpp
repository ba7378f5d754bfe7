// The monitor-power contract against the Win32 engine window and power port:
// the SC_MONITORPOWER broadcast reaches the hidden engine window's hook.
#include <windows.h>

#include "saver/power_contract.h"
#include "startup/engine_window_win.h"

namespace {

struct Win32PowerRig {
  EngineWindow& Window() { return *window; }
  PowerPort& Power() { return *power; }
  template <typename Condition>
  bool PumpUntil(Condition done) {
    for (int i = 0; i < 100 && !done(); ++i) {
      Pump();
      Sleep(10);
    }
    return done();
  }
  void Settle() { Pump(); }
  void MonitorsWake() { SendMessageA(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, -1); }

  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  std::unique_ptr<EngineWindow> window = CreateWin32EngineWindow();
  std::unique_ptr<PowerPort> power = CreatePlatformPower();
};

// The hook is the window's real procedure while installed, and the class's
// own procedure is back once it is removed.
TEST(Win32EngineWindow, HookReplacesTheWindowProcedureAndUnhookRestoresIt) {
  FakeProgram program;
  auto window = CreateWin32EngineWindow();
  HWND hwnd = reinterpret_cast<HWND>(window->Handle());
  LONG_PTR original = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
  HookWindow(program.state, *window);
  EXPECT_EQ(program.state.PreviousWindowProc, static_cast<std::uintptr_t>(original));
  EXPECT_NE(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), original);
  // Messages still get their usual answers through the previous procedure.
  SetWindowTextA(hwnd, "Glimmora");
  char caption[32] = {};
  GetWindowTextA(hwnd, caption, sizeof caption);
  EXPECT_STREQ(caption, "Glimmora");
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_MONITORPOWER, 1);
  EXPECT_TRUE(program.state.Sleeping);
  UnhookWindow(program.state, *window);
  EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), original);
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_MONITORPOWER, -1);
  EXPECT_TRUE(program.state.Sleeping);  // no longer watched
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, PowerPortContract, Win32PowerRig);
