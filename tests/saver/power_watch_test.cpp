// The power hook: PowerWatchProc's decisions as a table, and the hook's life
// with the engine form (fake engine window and power port).
#include "saver/power_watch.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "startup/engine_form.h"

namespace {

constexpr std::uint32_t kWmPaint = 0x0F, kWmPowerBroadcast = 0x218;
constexpr std::uintptr_t kScScreenSave = 0xF140, kScMinimize = 0xF020, kScClose = 0xF060;

TEST(PowerWatchProc, SleepingFollowsMonitorPowerAndOtherSystemCommands) {
  struct Case {
    const char* name;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool preview, before, after;
  };
  const Case cases[] = {
      {"low power", kWmSysCommand, kScMonitorPower, 1, false, false, true},
      {"off", kWmSysCommand, kScMonitorPower, 2, false, false, true},
      {"off while sleeping", kWmSysCommand, kScMonitorPower, 2, false, true, true},
      {"on", kWmSysCommand, kScMonitorPower, -1, false, true, false},
      {"an unknown level counts as on", kWmSysCommand, kScMonitorPower, 0, false, true, false},
      {"level 3 counts as on", kWmSysCommand, kScMonitorPower, 3, false, true, false},
      {"preview: off does not sleep", kWmSysCommand, kScMonitorPower, 2, true, false, false},
      {"preview: low power does not sleep", kWmSysCommand, kScMonitorPower, 1, true, false, false},
      {"preview: off keeps sleeping", kWmSysCommand, kScMonitorPower, 2, true, true, true},
      {"preview: on wakes", kWmSysCommand, kScMonitorPower, -1, true, true, false},
      {"screen-saver command", kWmSysCommand, kScScreenSave, 0, false, true, false},
      {"minimise command", kWmSysCommand, kScMinimize, 0, false, true, false},
      {"preview: close command wakes", kWmSysCommand, kScClose, 0, true, true, false},
      {"power command with low bits set is another command", kWmSysCommand, kScMonitorPower | 2, 2, false, true,
       false},
      {"other message while sleeping", kWmPaint, kScMonitorPower, 2, false, true, true},
      {"other message while awake", kWmPowerBroadcast, kScMonitorPower, 2, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeProgram p;
    FakeEngineWindow window(1);
    p.state.PreviewHost = c.preview ? 99 : 0;
    p.state.Sleeping = c.before;
    HookWindow(p.state, window);
    std::intptr_t result = window.Send({c.message, c.wParam, c.lParam});
    EXPECT_EQ(p.state.Sleeping, c.after);
    // Passed on unchanged to the procedure the hook replaced, with its result.
    EXPECT_EQ(result, FakeEngineWindow::kOriginalResult);
    ASSERT_EQ(window.passed.size(), 1u);
    EXPECT_EQ(window.passed[0].proc, FakeEngineWindow::kOriginalProc);
    EXPECT_EQ(window.passed[0].message.message, c.message);
    EXPECT_EQ(window.passed[0].message.wParam, c.wParam);
    EXPECT_EQ(window.passed[0].message.lParam, c.lParam);
  }
}

TEST(PowerWatchProc, EngineFormHooksEachNewWindowAndUnhooksOnUnload) {
  FakeProgram p;
  ProgramState& s = p.state;
  s.ShortName = "Glimmora";
  EngineForm& engine = Engine(s);
  engine.Load();
  FakeEngineWindow* first = p.fakes.windows.engine_windows.at(0);
  EXPECT_EQ(first->caption, "Glimmora");
  EXPECT_EQ(s.PreviousWindowProc, FakeEngineWindow::kOriginalProc);
  first->Send({kWmSysCommand, kScMonitorPower, 2});
  EXPECT_TRUE(s.Sleeping);

  ASSERT_TRUE(p.fakes.power.report);
  engine.Unload();
  EXPECT_FALSE(p.fakes.power.report);  // the power reports stop with the hook
  p.fakes.power.Report(kMonitorPowerOn);
  EXPECT_TRUE(s.Sleeping);  // nobody listens any more

  engine.Load();
  FakeEngineWindow* second = p.fakes.windows.engine_windows.at(1);
  second->Send({kWmSysCommand, kScMonitorPower, -1});
  EXPECT_FALSE(s.Sleeping);
  p.fakes.power.Report(kMonitorPowerLow);
  EXPECT_TRUE(s.Sleeping);
}

}  // namespace
