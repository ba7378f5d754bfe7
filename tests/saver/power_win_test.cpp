// The monitor-power contract against the Win32 hidden window and power port:
// the SC_MONITORPOWER broadcast reaches the hidden window's hook.
#include <windows.h>

#include "saver/power_contract.h"
#include "platform/hidden_window.h"

namespace {

struct Win32PowerRig {
  HiddenWindow& Window() { return *window; }
  PowerPort& Power() { return *power; }
  bool PumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 100 && !done(); ++i, Sleep(10))
      for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
    return done();
  }
  void MonitorsWake() { SendMessageA(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, -1); }

  std::unique_ptr<HiddenWindow> window = CreatePlatformHiddenWindow();
  std::unique_ptr<PowerPort> power = CreatePlatformPower();
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, PowerPortContract, Win32PowerRig);
