// The Linux power port: the monitor-power contract and its DPMS rules against
// a stand-in server (no virtual X server has DPMS; the end-to-end scripts run
// the real port on one without).
// GoogleTest first: X11 defines None as a macro.
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "saver/power_contract.h"
#include "saver/power_gtk.h"
#include "startup/engine_window_gtk.h"

namespace {

// The stand-in server: what it knows and the requests it was sent.
struct FakeDpms final : DpmsDisplay {
  bool Available() override { return true; }
  bool Query(DpmsLevel* l, bool* e) override { return *l = level, *e = enabled, true; }
  void Enable() override { requests += "enable ", enabled = true; }
  void ForceOff() override { requests += "off ", level = enabled ? DpmsLevel::kOff : level; }
  bool AnyKeyDown() override { return key_down; }
  bool enabled = true, key_down = false;
  DpmsLevel level = DpmsLevel::kOn;
  std::string requests;
};

struct GtkDpmsRig {
  EngineWindow& Window() { return *window; }
  PowerPort& Power() { return *power; }
  bool PumpUntil(const std::function<bool()>& done, int limit_ms = 1000) {
    for (gint64 end = g_get_monotonic_time() + limit_ms * 1000; !done() && g_get_monotonic_time() < end;) {
      while (g_main_context_iteration(nullptr, FALSE)) {
      }
      g_usleep(1000);
    }
    return done();
  }
  void Settle() { PumpUntil([] { return false; }, 100); }
  void MonitorsWake() { dpms->level = DpmsLevel::kOn; }  // the server wakes them at the next input

  FakeDpms* dpms = new FakeDpms;
  std::unique_ptr<EngineWindow> window = CreateGtkEngineWindow();
  std::unique_ptr<PowerPort> power = CreateDpmsPower(std::unique_ptr<DpmsDisplay>(dpms), 10);
};

// The server would wake the monitors again at the release of the S key.
TEST(DpmsPower, EnablesDpmsSwitchesOffOnceTheKeysAreUpAndReportsLevels) {
  GtkDpmsRig r;
  std::vector<int> reports;
  r.power->WatchMonitorPower([&](int level) { reports.push_back(level); });
  r.dpms->enabled = false;
  r.dpms->key_down = true;
  r.power->TurnMonitorsOff();
  r.Settle();
  EXPECT_EQ(r.dpms->requests, "");
  r.dpms->key_down = false;
  EXPECT_TRUE(r.PumpUntil([&] { return r.dpms->requests == "enable off "; }));
  r.dpms->level = DpmsLevel::kStandby;
  r.PumpUntil([&] { return reports.size() == 2; });
  EXPECT_EQ(reports, (std::vector<int>{kMonitorPowerOff, kMonitorPowerLow}));
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(LinuxDpms, PowerPortContract, GtkDpmsRig);
