#pragma once
// Scripted monitor power: counts the switch-off requests and, like a system
// that reports power changes, tells the watcher (the power hook) at once.
#include "saver/power.h"

class FakePower final : public PowerPort {
 public:
  void TurnMonitorsOff() override {
    ++offs;
    Report(kMonitorPowerOff);
  }
  void WatchMonitorPower(MonitorPowerReport r) override { report = std::move(r); }
  void RestoreSystemSettings() override { ++restores; }
  // The system changes the monitors' power.
  void Report(int level) {
    if (report) report(level);
  }

  int offs = 0, restores = 0;
  MonitorPowerReport report;
};
