// The saver's orderly end and the graphics library's lifetime, driven
// through the fakes (EndProcess throws ProcessEnded instead of ending).
#include "startup/shutdown.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "saver/saver_form.h"
#include "startup/engine_form.h"
#include "startup/graphics.h"
#include "startup/modes.h"

namespace {

class ShutdownTest : public ::testing::Test {
 protected:
  void StartSaver() {
    f.display.AddMonitor(0, 0, 800, 600, true);
    f.display.AddMonitor(800, 0, 640, 480);
    RunSaverMode(s);
  }
  int Refreshes() const {
    int total = 0;
    for (const FakeSaverWindow* w : f.windows.saver_windows) total += w->box.refreshes;
    return total;
  }

  FakeProgram p;
  FakePorts& f = p.fakes;
  ProgramState& s = p.state;
};

TEST_F(ShutdownTest, EndSaverUnloadsTTellsTheSystemShowsTheCursorStopsGraphicsThenEnds) {
  StartSaver();
  ASSERT_NE(s.GdiplusToken, 0u);  // the first frame started the graphics library
  f.system.calls.clear();
  std::vector<std::string> seen;
  f.system.on_call = [&](const std::string& call) {
    seen.push_back(call + (EngineLoaded(s) ? " T-loaded" : "") + " stops=" + std::to_string(f.graphics.stops));
  };
  try {
    EndSaver(s);
    FAIL() << "EndSaver returned";
  } catch (const ProcessEnded& end) {
    EXPECT_EQ(end.exit_code, 0);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"ScreenSaverRunning(0) stops=0", "ShowCursor(1) stops=0",
                                            "EndProcess stops=1"}));
  EXPECT_EQ(s.GdiplusToken, 0u);
}

TEST_F(ShutdownTest, NoSlideIsDrawnAfterEndSaverEvenWithATickDue) {
  StartSaver();
  f.loop.Advance(200);  // the show runs: the slide timer draws
  int drawn = Refreshes();
  ASSERT_GT(drawn, 2);
  f.loop.now += 10000;  // a tick is overdue when the saver ends
  EXPECT_THROW(EndSaver(s), ProcessEnded);
  EXPECT_FALSE(f.loop.FireNext());
  f.loop.Advance(60000);
  EXPECT_EQ(Refreshes(), drawn);
}

TEST_F(ShutdownTest, AKeyEndsTheSaverFromInsideTheEventLoop) {
  StartSaver();
  f.loop.Advance(100);
  EXPECT_THROW(f.windows.saver_windows[1]->events.Form_KeyDown(27, 0), ProcessEnded);
  EXPECT_FALSE(EngineLoaded(s));
  EXPECT_EQ(f.system.calls.back(), "EndProcess");
}

TEST_F(ShutdownTest, PreviewEndRestoresFlagAndCursorToo) {
  f.windows.parents[77] = 5;
  f.windows.rects[77] = {0, 0, 152, 112};
  RunPreviewMode(s, 77);
  ASSERT_TRUE(f.system.calls.empty());
  EXPECT_THROW(EndSaver(s), ProcessEnded);
  EXPECT_EQ(f.system.calls, (std::vector<std::string>{"ScreenSaverRunning(0)", "ShowCursor(1)", "EndProcess"}));
  EXPECT_EQ(f.graphics.stops, 1);
}

TEST_F(ShutdownTest, EndSaverBeforeTAndGraphicsExistStillEnds) {
  EXPECT_THROW(EndSaver(s), ProcessEnded);
  EXPECT_EQ(f.graphics.stops, 0);
  EXPECT_EQ(f.system.calls, (std::vector<std::string>{"ScreenSaverRunning(0)", "ShowCursor(1)", "EndProcess"}));
}

TEST(GraphicsLifetime, StartsOnceAndStopsOnce) {
  FakeProgram p;
  FakeGraphics& g = p.fakes.graphics;
  StopGdiplus(p.state);  // never started: nothing to stop
  EXPECT_EQ(g.stops, 0);
  StartGdiplus(p.state);
  StartGdiplus(p.state);
  EXPECT_EQ(g.starts, 1);
  EXPECT_NE(p.state.GdiplusToken, 0u);
  StopGdiplus(p.state);
  StopGdiplus(p.state);
  EXPECT_EQ(g.stops, 1);
  EXPECT_EQ(p.state.GdiplusToken, 0u);
  StartGdiplus(p.state);  // a later need starts it again
  EXPECT_EQ(g.starts, 2);
}

TEST(GraphicsLifetime, FailureShowsTheCriticalMessageWithTheDefaultTitleAndEnds) {
  FakeProgram p;
  p.fakes.graphics.fail = true;
  try {
    StartGdiplus(p.state);
    FAIL() << "StartGdiplus returned after a failure";
  } catch (const ProcessEnded& end) {
    EXPECT_NE(end.exit_code, 0);
  }
  ASSERT_EQ(p.fakes.system.boxes.size(), 1u);
  EXPECT_EQ(p.fakes.system.boxes[0].text, "Error loading GDI+!");
  EXPECT_EQ(p.fakes.system.boxes[0].title, "");
  EXPECT_EQ(p.fakes.system.boxes[0].style, 16);
  // No clean-up: the saver's end does not run.
  EXPECT_EQ(p.fakes.system.calls, (std::vector<std::string>{"MessageBox", "EndProcess"}));
}

TEST(GraphicsLifetime, FailureInSaverModeComesAtTheFirstFrameWithTheWindowsUp) {
  FakeProgram p;
  p.fakes.display.AddMonitor(0, 0, 800, 600, true);
  p.fakes.graphics.fail = true;
  EXPECT_THROW(RunSaverMode(p.state), ProcessEnded);
  ASSERT_EQ(p.fakes.windows.saver_windows.size(), 1u);
  EXPECT_TRUE(p.fakes.windows.saver_windows[0]->topmost);
  ASSERT_EQ(p.fakes.system.boxes.size(), 1u);
  EXPECT_EQ(p.fakes.system.boxes[0].text, "Error loading GDI+!");
}

}  // namespace
