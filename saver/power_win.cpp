// Win32 backend of the monitor-power port.
// Monitors off is the SC_MONITORPOWER broadcast; power changes need no report,
// since the system sends them to the hidden window itself.
#include <windows.h>

#include "saver/power.h"

namespace {

class Win32PowerPort final : public PowerPort {
 public:
  // Every top-level window gets the command, the hidden window included; its
  // hook sets Sleeping while the broadcast runs.
  void TurnMonitorsOff() override {
    SendMessageA(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, static_cast<LPARAM>(kMonitorPowerOff));
  }
  void WatchMonitorPower(MonitorPowerReport) override {}
  void RestoreSystemSettings() override {}
};

}  // namespace

std::unique_ptr<PowerPort> CreatePlatformPower() { return std::make_unique<Win32PowerPort>(); }
