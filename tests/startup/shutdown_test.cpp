// The saver's orderly end and the graphics library's lifetime, driven
// through the fakes (EndProcess throws ProcessEnded instead of ending).
#include "startup/shutdown.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_ports.h"
#include "startup/engine_form.h"
#include "startup/graphics.h"
#include "startup/modes.h"

namespace {

// The exit code the action ended the program with; -1 when it returned.
int ExitCode(const std::function<void()>& action) {
  try {
    action();
  } catch (const ProcessEnded& end) {
    return end.exit_code;
  }
  return -1;
}

// T unloaded first, then the system told, the cursor shown, the graphics
// stopped and the end with code 0; also in preview and before anything ran.
TEST(EndSaver, UnloadsTTellsTheSystemShowsTheCursorStopsGraphicsThenEnds) {
  for (const char* mode : {"saver", "preview", "nothing"}) {
    SCOPED_TRACE(mode);
    FakeProgram p;
    FakePorts& f = p.fakes;
    f.display.AddMonitor(0, 0, 800, 600, true);
    f.windows.parents[77] = 5;
    f.windows.rects[77] = {0, 0, 152, 112};
    if (mode[0] == 's') RunSaverMode(p.state);
    if (mode[0] == 'p') RunPreviewMode(p.state, 77);
    f.loop.Advance(200);  // the show runs: the first frame started the graphics library
    f.loop.now += 10000;  // and a tick is overdue when it ends
    std::vector<std::string> seen;
    f.system.on_call = [&](const std::string& call) {
      seen.push_back(call + (EngineLoaded(p.state) ? " T-loaded" : "") + " stops=" + std::to_string(f.graphics.stops));
    };
    EXPECT_EQ(ExitCode([&] { EndSaver(p.state); }), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"ScreenSaverRunning(0) stops=0", "ShowCursor(1) stops=0",
                                              "EndProcess stops=" + std::to_string(mode[0] != 'n')}));
    EXPECT_EQ(p.state.GdiplusToken, 0u);
    EXPECT_FALSE(f.loop.FireNext());  // no slide after the end
  }
}

// Started once, stopped once; a failure shows the critical message with the
// default title and ends without any clean-up.
TEST(GraphicsLifetime, StartsOnceAndStopsOnce) {
  FakeProgram p;
  FakeGraphics& g = p.fakes.graphics;
  StopGdiplus(p.state);  // never started: nothing to stop
  StartGdiplus(p.state);
  StartGdiplus(p.state);
  EXPECT_EQ(g.starts, 1);
  StopGdiplus(p.state);
  StopGdiplus(p.state);
  EXPECT_EQ(g.stops, 1);
  g.fail = true;  // a later need starts it again
  EXPECT_EQ(ExitCode([&] { StartGdiplus(p.state); }), 1);
  EXPECT_EQ(g.starts, 2);
  const FakeSystem::Box& box = p.fakes.system.boxes.at(0);
  EXPECT_EQ(box.text + "|" + box.title + "|" + std::to_string(box.style), "Error loading GDI+!||16");
  EXPECT_EQ(p.fakes.system.calls, (std::vector<std::string>{"MessageBox", "EndProcess"}));
}

}  // namespace
