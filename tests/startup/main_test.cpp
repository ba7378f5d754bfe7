// Start-up and mode dispatch, driven through the fakes.
#include "startup/main.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_ports.h"
#include "options/options_dialog.h"
#include "saver/saver_form.h"
#include "startup/engine_form.h"

namespace {

int Count(const std::vector<std::string>& calls, const std::string& what) {
  return static_cast<int>(std::count(calls.begin(), calls.end(), what));
}

class MainTest : public ::testing::Test {
 protected:
  FakeProgram p;
  FakePorts& f = p.fakes;
  ProgramState& s = p.state;
};

TEST_F(MainTest, UnknownSwitchesAreRefusedWithTheMessage) {
  for (const char* command : {"/A", "-S", "S", "/?", "--help"}) {
    FakeProgram fresh;
    EXPECT_FALSE(Main(fresh.state, command)) << command;
    ASSERT_EQ(fresh.fakes.system.boxes.size(), 1u) << command;
    EXPECT_EQ(fresh.fakes.system.boxes[0].text, kRefusalMessage);
    EXPECT_EQ(fresh.fakes.system.boxes[0].title, fresh.state.ProgramTitle);
    EXPECT_EQ(fresh.fakes.system.boxes[0].style, 48);
    EXPECT_TRUE(fresh.fakes.windows.saver_windows.empty());
    EXPECT_TRUE(fresh.fakes.windows.options_windows.empty());
    EXPECT_FALSE(EngineLoaded(fresh.state));
  }
}

TEST_F(MainTest, PrologueFillsIdentityDefaultsAndGenerator) {
  Main(s, "/A");
  EXPECT_EQ(s.ShortName, "Glimmora");
  EXPECT_EQ(s.DefaultSettings, MakeDefaultSettings());
  EXPECT_EQ(s.CurrentSettings, s.DefaultSettings);
  EXPECT_NE(s.SharedPrng, nullptr);
}

TEST_F(MainTest, SaverModeOpensOneTopmostWindowPerMonitor) {
  f.display.AddMonitor(0, 0, 800, 600, true);
  f.display.AddMonitor(800, 0, 640, 480);
  ASSERT_TRUE(Main(s, " /s "));
  EXPECT_EQ(s.MonitorCount, 2);
  ASSERT_EQ(f.windows.saver_windows.size(), 2u);
  FakeSaverWindow* w1 = f.windows.saver_windows[0];
  FakeSaverWindow* w2 = f.windows.saver_windows[1];
  EXPECT_TRUE(w1->topmost);
  EXPECT_EQ(w1->placed.left, 0);
  EXPECT_EQ(w1->placed.right, 800);
  EXPECT_EQ(w1->placed.bottom, 600);
  EXPECT_EQ(w2->placed.left, 800);
  EXPECT_EQ(w2->placed.right, 1440);
  EXPECT_EQ(w2->placed.bottom, 480);
  // The cursor is hidden once; the system is told "not running" then "running".
  EXPECT_EQ(Count(f.system.calls, "ShowCursor(0)"), 1);
  auto first = std::find(f.system.calls.begin(), f.system.calls.end(), "ScreenSaverRunning(0)");
  auto second = std::find(f.system.calls.begin(), f.system.calls.end(), "ScreenSaverRunning(1)");
  EXPECT_LT(first, second);
  // T is loaded with both timers on, and the first frame is drawn at once.
  ASSERT_TRUE(EngineLoaded(s));
  EXPECT_TRUE(s.T->tmrImmagine().Enabled());
  EXPECT_EQ(f.loop.yields, 3);  // two while SharedPrng seeds from the clock, one in the saver set-up
  EXPECT_EQ(s.CurrentIndex, -1);
  EXPECT_GE(w1->box.refreshes, 1);
  EXPECT_GE(w2->box.refreshes, 1);
}

TEST_F(MainTest, SaverModeEndsWhenNoMonitorIsAttached) {
  EXPECT_THROW(Main(s, "/S"), ProcessEnded);
  EXPECT_TRUE(f.windows.saver_windows.empty());
  EXPECT_EQ(Count(f.system.calls, "ShowCursor(0)"), 0);
}

TEST_F(MainTest, PreviewWithoutParentEndsAtOnce) {
  for (const char* command : {"/P 77", "/P", "/P abc", "/P77"}) {
    FakeProgram fresh;
    EXPECT_THROW(Main(fresh.state, command), ProcessEnded) << command;
    EXPECT_TRUE(fresh.fakes.windows.saver_windows.empty());
    EXPECT_TRUE(fresh.fakes.system.boxes.empty());
  }
}

TEST_F(MainTest, PreviewEmbedsOneWindowInTheHost) {
  f.windows.parents[77] = 5;
  f.windows.rects[77] = {10, 20, 162, 132};
  ASSERT_TRUE(Main(s, "/p 77"));
  EXPECT_EQ(s.PreviewHost, 77);
  EXPECT_EQ(s.MonitorCount, 1);
  ASSERT_EQ(f.windows.saver_windows.size(), 1u);
  EXPECT_EQ(f.windows.saver_windows[0]->embedded_in, 77);
  EXPECT_EQ(f.windows.saver_windows[0]->placed.right, 152);
  EXPECT_EQ(f.windows.saver_windows[0]->placed.bottom, 112);
  // The cursor and the screen-saver flag are left alone.
  EXPECT_TRUE(f.system.calls.empty());
  EXPECT_TRUE(s.T->tmrImmagine().Enabled());
}

TEST_F(MainTest, EmptyCommandLineOpensTheOptionsDialogWithoutOwner) {
  ASSERT_TRUE(Main(s, ""));
  ASSERT_EQ(f.windows.options_windows.size(), 1u);
  FakeOptionsWindow* w = f.windows.options_windows[0];
  EXPECT_TRUE(w->shown);
  EXPECT_EQ(w->caption, s.ProgramTitle);
  EXPECT_FALSE(w->moved);
  EXPECT_EQ(w->owner, 0);
  EXPECT_EQ(s.OptionsOwner, 0);
  EXPECT_TRUE(f.windows.calls.empty());
}

TEST_F(MainTest, OptionsOwnerOnOneMonitorPutsTheDialogAt32Pixels) {
  f.display.AddMonitor(0, 0, 800, 600, true);
  f.display.AddMonitor(800, 0, 640, 480);
  f.windows.parents[55] = 66;
  f.windows.rects[66] = {850, 40, 1200, 400};
  ASSERT_TRUE(Main(s, "/c:55"));
  FakeOptionsWindow* w = f.windows.options_windows[0];
  EXPECT_EQ(s.OptionsOwner, 66);
  EXPECT_EQ(w->owner, 66);
  EXPECT_TRUE(w->moved);
  EXPECT_EQ(w->x, 882);
  EXPECT_EQ(w->y, 72);
  EXPECT_EQ(f.windows.calls, std::vector<std::string>{"DisableWindow(66)"});
}

TEST_F(MainTest, OptionsHandleWithoutParentMeansNoOwner) {
  ASSERT_TRUE(Main(s, "/C:1234"));
  EXPECT_EQ(s.OptionsOwner, 0);
  EXPECT_FALSE(f.windows.options_windows[0]->moved);
  EXPECT_TRUE(f.windows.calls.empty());
}

}  // namespace
