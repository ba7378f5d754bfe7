// Saver, preview and options-mode window set-up, driven through the fakes.
#include "startup/modes.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "startup/engine_form.h"

namespace {

// Each saver window: where it lies, how (topmost or in its host), and the frames drawn so far.
std::string Windows(const FakePorts& f) {
  std::string out;
  for (const FakeSaverWindow* w : f.windows.saver_windows) {
    const WindowRect& r = w->placed;
    out += "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + (w->topmost ? " topmost" : " in " + std::to_string(w->embedded_in)) +
           " frames " + std::to_string(w->box.refreshes) + "]";
  }
  return out;
}

// The scan starts before the show; the first frame is drawn at once.
TEST(Modes, SaverWindowsCoverEveryMonitorInAdapterOrder) {
  FakeProgram none;  // no monitor attached: the end, without a window
  EXPECT_THROW(RunSaverMode(none.state), ProcessEnded);
  EXPECT_EQ(Windows(none.fakes), "");
  FakeProgram p;
  FakePorts& f = p.fakes;
  f.display.AddMonitor(0, 0, 1920, 1080, true);
  f.display.AddAdapter("Off", 0);
  f.display.AddMonitor(-1280, 100, 1280, 1024);
  f.display.AddMonitor(1920, -200, 1080, 1920);
  bool slide_on_at_yield = true;
  f.loop.on_yield = [&] { slide_on_at_yield = p.state.T->tmrImmagine().Enabled(); };
  RunSaverMode(p.state);
  EXPECT_EQ(Windows(f), "[0,0,1920,1080 topmost frames 1][-1280,100,0,1124 topmost frames 1]"
                        "[1920,-200,3000,1720 topmost frames 1]");
  EXPECT_EQ(f.system.calls,
            (std::vector<std::string>{"ShowCursor(0)", "ScreenSaverRunning(0)", "ScreenSaverRunning(1)"}));
  EXPECT_FALSE(slide_on_at_yield);
  EXPECT_TRUE(p.state.T->tmrScansione().Enabled() && p.state.T->tmrImmagine().Enabled());
}

TEST(Modes, PreviewScansBeforeItsWindowExistsThenFillsTheHost) {
  FakeProgram p;
  p.fakes.windows.parents[77] = 5;
  p.fakes.windows.rects[77] = {300, 200, 452, 312};
  std::size_t windows_at_yield = 99;
  p.fakes.loop.on_yield = [&] { windows_at_yield = p.fakes.windows.saver_windows.size(); };
  RunPreviewMode(p.state, 77);
  EXPECT_EQ(windows_at_yield, 0u);
  EXPECT_EQ(Windows(p.fakes), "[0,0,152,112 in 77 frames 1]");
}

// Where the options dialog (340 x 560 in the fake) lands for its owner.
TEST(Modes, OptionsDialogPlacement) {
  const struct {
    WindowRect owner;
    std::vector<WindowRect> monitors;
    const char* at;  // "" when left alone
  } cases[] = {
      {{850, 40, 1200, 400}, {{0, 0, 800, 600}, {800, 0, 1440, 480}}, "882,72"},  // on monitor 2: 32 right and below
      {{-100, 10, 100, 20}, {{-1024, 0, 0, 768}, {0, 0, 800, 600}}, "-682,104"},  // across: centred on monitor 1
      {{-50, 0, 100, 100}, {{0, 0, 801, 601}}, "230,20"},  // halves to even: 230.5, 20.5
      {{-50, 0, 100, 100}, {{0, 0, 803, 601}}, "232,20"},  // 231.5
      {{0, 0, 10, 10}, {}, ""},                            // no monitor: left alone
  };
  for (const auto& c : cases) {
    FakeProgram p;
    for (const auto& m : c.monitors) p.fakes.display.AddMonitor(m.left, m.top, m.right - m.left, m.bottom - m.top);
    p.fakes.windows.rects[66] = c.owner;
    p.state.OptionsOwner = 66;
    FakeOptionsWindow dialog(1);
    PlaceOptionsDialog(p.state, dialog);
    EXPECT_EQ(dialog.moved ? std::to_string(dialog.x) + "," + std::to_string(dialog.y) : "", c.at);
  }
}

}  // namespace
