// The Linux power port: its DPMS rules against a stand-in server (no virtual
// X server has DPMS), the monitor-power contract with the GTK engine window,
// and the real port on a server without DPMS.
// GoogleTest first: X11 defines None as a macro.
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <vector>

#include "saver/power_contract.h"
#include "saver/power_gtk.h"
#include "startup/engine_window_gtk.h"

namespace {

// What the stand-in server knows and what was asked of it.
struct DpmsServer {
  bool available = true;
  bool enabled = true;
  bool readable = true;
  bool key_down = false;
  DpmsLevel level = DpmsLevel::kOn;
  std::vector<const char*> requests;
};

class FakeDpmsDisplay final : public DpmsDisplay {
 public:
  explicit FakeDpmsDisplay(DpmsServer& server) : server_(server) {}
  bool Available() override { return server_.available; }
  bool Query(DpmsLevel* level, bool* enabled) override {
    *level = server_.level;
    *enabled = server_.enabled;
    return server_.readable;
  }
  void Enable() override {
    server_.requests.push_back("enable");
    server_.enabled = true;
  }
  void ForceOff() override {
    server_.requests.push_back("off");
    if (server_.enabled) server_.level = DpmsLevel::kOff;
  }
  bool AnyKeyDown() override { return server_.key_down; }

 private:
  DpmsServer& server_;
};

constexpr unsigned kPollMs = 10;

// Runs the default GLib context until the condition holds or time is up.
template <typename Condition>
bool Pump(Condition done, int limit_ms = 1000) {
  gint64 end = g_get_monotonic_time() + limit_ms * 1000;
  while (!done() && g_get_monotonic_time() < end) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    g_usleep(1000);
  }
  return done();
}

struct GtkDpmsRig {
  EngineWindow& Window() { return *window; }
  PowerPort& Power() { return *power; }
  template <typename Condition>
  bool PumpUntil(Condition done) {
    return Pump(done);
  }
  void Settle() {
    Pump([] { return false; }, 5 * kPollMs);
  }
  // The server wakes the monitors at the next input.
  void MonitorsWake() { server.level = DpmsLevel::kOn; }

  DpmsServer server;
  std::unique_ptr<EngineWindow> window = CreateGtkEngineWindow();
  std::unique_ptr<PowerPort> power = CreateDpmsPower(std::make_unique<FakeDpmsDisplay>(server), kPollMs);
};

class DpmsPower : public ::testing::Test {
 protected:
  void Watch() {
    power->WatchMonitorPower([this](int level) { reports.push_back(level); });
  }

  DpmsServer server;
  std::unique_ptr<PowerPort> power = CreateDpmsPower(std::make_unique<FakeDpmsDisplay>(server), kPollMs);
  std::vector<int> reports;
};

TEST_F(DpmsPower, EachLevelChangeIsReportedOnceAsAWindowsPowerLevel) {
  Watch();
  const DpmsLevel levels[] = {DpmsLevel::kStandby, DpmsLevel::kSuspend, DpmsLevel::kOff, DpmsLevel::kOn};
  for (DpmsLevel level : levels) {
    std::size_t before = reports.size();
    server.level = level;
    ASSERT_TRUE(Pump([&] { return reports.size() > before; }));
  }
  Pump([] { return false; }, 5 * kPollMs);  // no change, no report
  EXPECT_EQ(reports, (std::vector<int>{kMonitorPowerLow, kMonitorPowerLow, kMonitorPowerOff, kMonitorPowerOn}));
}

TEST_F(DpmsPower, SwitchOffIsReportedBeforeItReturnsWhenNoKeyIsHeld) {
  Watch();
  power->TurnMonitorsOff();
  EXPECT_EQ(server.requests, (std::vector<const char*>{"off"}));
  EXPECT_EQ(reports, (std::vector<int>{kMonitorPowerOff}));
}

// The server would wake the monitors again at the key's release.
TEST_F(DpmsPower, SwitchOffWaitsUntilTheKeysAreReleased) {
  Watch();
  server.key_down = true;
  power->TurnMonitorsOff();
  power->TurnMonitorsOff();  // a repeat while waiting asks nothing more
  Pump([] { return false; }, 100);
  EXPECT_TRUE(server.requests.empty());
  server.key_down = false;
  ASSERT_TRUE(Pump([&] { return !server.requests.empty(); }));
  EXPECT_EQ(server.requests, (std::vector<const char*>{"off"}));
  EXPECT_EQ(reports, (std::vector<int>{kMonitorPowerOff}));
}

TEST_F(DpmsPower, DisabledDpmsIsEnabledFirst) {
  server.enabled = false;
  power->TurnMonitorsOff();
  EXPECT_EQ(server.requests, (std::vector<const char*>{"enable", "off"}));
  EXPECT_EQ(server.level, DpmsLevel::kOff);
}

TEST_F(DpmsPower, WithoutDpmsNothingIsAskedOrReported) {
  server.available = false;
  Watch();
  power->TurnMonitorsOff();
  server.level = DpmsLevel::kOff;
  Pump([] { return false; }, 5 * kPollMs);
  EXPECT_TRUE(server.requests.empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(DpmsPower, AnUnreadableLevelIsNoChange) {
  Watch();
  server.readable = false;
  server.level = DpmsLevel::kOff;
  Pump([] { return false; }, 5 * kPollMs);
  EXPECT_TRUE(reports.empty());
  server.readable = true;
  EXPECT_TRUE(Pump([&] { return !reports.empty(); }));
}

// Xvfb and the other virtual servers have no DPMS: the S key must do nothing
// harmful there.
TEST(LinuxPower, RealPortOnAServerWithoutDpmsIsHarmless) {
  if (!gtk_init_check(nullptr, nullptr)) GTEST_SKIP() << "no X display";
  std::unique_ptr<PowerPort> power = CreatePlatformPower();
  int reports = 0;
  power->WatchMonitorPower([&](int) { ++reports; });
  power->TurnMonitorsOff();
  power->WatchMonitorPower(nullptr);
  EXPECT_LE(reports, 1);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(LinuxDpms, PowerPortContract, GtkDpmsRig);
