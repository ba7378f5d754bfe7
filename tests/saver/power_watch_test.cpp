// The power watch's decisions, and the monitor-power contract against the fakes.
#include <tuple>

#include "saver/power_contract.h"

namespace {

struct FakePowerRig {
  HiddenWindow& Window() { return window; }
  PowerPort& Power() { return power; }
  bool PumpUntil(const std::function<bool()>& done) { return done(); }
  void MonitorsWake() { power.Report(kMonitorPowerOn); }
  FakeHiddenWindow window{1};
  FakePower power;
};

// Asleep after each message, and every message passed on unchanged to the
// procedure the watch replaced, with its result.
TEST(PowerWatch, SleepFollowsMonitorPowerAndOtherSystemCommands) {
  constexpr std::uint32_t kPaint = 0x0F, kSys = kWmSysCommand;
  constexpr std::uintptr_t kPower = kScMonitorPower, kScreenSave = 0xF140;
  const struct { const char* name; std::uint32_t message; std::uintptr_t w_param; std::intptr_t l_param;
                 bool preview, before, after; } cases[] = {
      {"low power", kSys, kPower, 1, false, false, true},
      {"off", kSys, kPower, 2, false, false, true},
      {"on", kSys, kPower, -1, false, true, false},
      {"level 0 counts as on", kSys, kPower, 0, false, true, false},
      {"preview: off does not sleep", kSys, kPower, 2, true, false, false},
      {"preview: off keeps sleeping", kSys, kPower, 2, true, true, true},
      {"preview: on wakes", kSys, kPower, -1, true, true, false},
      {"another command wakes", kSys, kScreenSave, 0, false, true, false},
      {"low bits set: another command", kSys, kPower | 2, 2, false, true, false},
      {"other message while sleeping", kPaint, kPower, 2, false, true, true},
  };
  for (const auto& c : cases) {
    FakeShow show;
    FakeHiddenWindow window(1);
    show.show.SetSystemPreview(c.preview);
    show.show.Flags().asleep = c.before;
    PowerWatch watch(show.fakes.power, show.show);
    watch.Hook(window);
    EXPECT_EQ(window.Send({c.message, c.w_param, c.l_param}), FakeHiddenWindow::kOriginalResult) << c.name;
    EXPECT_EQ(show.show.Flags().asleep, c.after) << c.name;
    ASSERT_EQ(window.passed.size(), 1u);
    const WindowMessage& m = window.passed[0];
    EXPECT_EQ(std::make_tuple(m.message, m.w_param, m.l_param), std::make_tuple(c.message, c.w_param, c.l_param));
  }
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, PowerPortContract, FakePowerRig);
