// The monitor-power contract against the Linux power port and a stand-in DPMS
// server (no virtual X server has DPMS; the end-to-end scripts run the real
// port on one without), with the GTK hidden window.
// GoogleTest first: X11 defines None as a macro.
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include "saver/power_contract.h"
#include "saver/power_gtk.h"
#include "platform/hidden_window.h"

namespace {

// DPMS starts disabled, so the port must enable it; a key is held at the first
// two checks of each switch-off, and the port must wait for its release (which
// would wake the monitors again).
struct FakeDpms final : DpmsDisplay {
  bool Available() override { return true; }
  bool Query(DpmsLevel* l, bool* e) override {
    *l = level;
    *e = enabled;
    return true;
  }
  void Enable() override { enabled = true; }
  void Disable() override { enabled = false; }
  void ForceOff() override {
    EXPECT_FALSE(key_down) << "switched off with a key held";
    if (enabled) level = DpmsLevel::kOff;
  }
  bool AnyKeyDown() override { return key_down = checks++ % 3 != 2; }
  bool enabled = false, key_down = false;
  int checks = 0;
  DpmsLevel level = DpmsLevel::kOn;
};

struct GtkDpmsRig {
  HiddenWindow& Window() { return *window; }
  PowerPort& Power() { return *power; }
  bool PumpUntil(const std::function<bool()>& done) {
    for (gint64 end = g_get_monotonic_time() + 1000000; !done() && g_get_monotonic_time() < end;) {
      while (g_main_context_iteration(nullptr, FALSE)) {
      }
      g_usleep(1000);
    }
    return done();
  }
  void MonitorsWake() { dpms->level = DpmsLevel::kOn; }  // the server wakes them at the next input

  FakeDpms* dpms = new FakeDpms;
  std::unique_ptr<HiddenWindow> window = CreatePlatformHiddenWindow();
  std::unique_ptr<PowerPort> power = CreateDpmsPower(std::unique_ptr<DpmsDisplay>(dpms), 10);
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(LinuxDpms, PowerPortContract, GtkDpmsRig);

namespace {

// DPMS the saver enabled to switch the monitors off is disabled again at the
// end; DPMS the user had on stays on, and without a switch-off nothing changes.
TEST(LinuxDpms, TheSaverEndsWithDpmsAsItFoundIt) {
  const struct {
    bool enabled_before, switched_off, enabled_after;
  } cases[] = {{false, true, false}, {true, true, true}, {false, false, false}, {true, false, true}};
  for (const auto& c : cases) {
    GtkDpmsRig rig;
    rig.dpms->enabled = c.enabled_before;
    if (c.switched_off) {
      rig.Power().TurnMonitorsOff();
      EXPECT_TRUE(rig.PumpUntil([&] { return rig.dpms->level == DpmsLevel::kOff; }));
    }
    rig.Power().RestoreSystemSettings();
    EXPECT_EQ(rig.dpms->enabled, c.enabled_after) << c.enabled_before << c.switched_off;
  }
}

}  // namespace
