#pragma once
// Monitor-power port: switches the monitors off, and reports the monitors'
// power changes that do not reach the hidden window as a message.
//
// Windows: the system sends its monitor-power commands (WM_SYSCOMMAND,
// SC_MONITORPOWER) to every top-level window, the hidden window among
// them, so its hooked window procedure sees them and there is nothing else to
// report. Linux: X says nothing to windows; the DPMS power level is polled and
// each change is reported as the level a Windows power command would carry.
// Both feed the same hook (saver/power_watch.h). UI thread only.
#include <functional>
#include <memory>

// Monitor power levels, as SC_MONITORPOWER carries them in lParam.
enum MonitorPower : int {
  kMonitorPowerOn = -1,
  kMonitorPowerLow = 1,
  kMonitorPowerOff = 2,
};

using MonitorPowerReport = std::function<void(int level)>;

class PowerPort {
 public:
  virtual ~PowerPort() = default;
  // Asks the system to switch every monitor off (Windows: the SC_MONITORPOWER
  // broadcast). Sets no program state: the power hook hears of the change.
  // Without a way to switch monitors off it does nothing.
  virtual void TurnMonitorsOff() = 0;
  // From now on, reports each power change that no window message carries to
  // report (one watcher at a time; an empty function stops the reports).
  virtual void WatchMonitorPower(MonitorPowerReport report) = 0;
  // Called as the saver ends: undoes what switching the monitors off changed
  // in the system's own settings (Linux: power management the saver had to
  // enable is disabled again). Nothing to undo on Windows.
  virtual void RestoreSystemSettings() = 0;
};

std::unique_ptr<PowerPort> CreatePlatformPower();
