// Saver, preview and options-mode window set-up, driven through the fakes.
#include "startup/modes.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "startup/engine_form.h"

namespace {

std::string Text(const WindowRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// The scan starts before the show; the first frame is drawn at once.
TEST(Modes, SaverWindowsCoverEveryMonitorInAdapterOrder) {
  FakeProgram none;  // no monitor attached: the end, without a window
  EXPECT_THROW(RunSaverMode(none.state), ProcessEnded);
  EXPECT_TRUE(none.fakes.windows.saver_windows.empty());
  FakeProgram p;
  FakePorts& f = p.fakes;
  f.display.AddMonitor(0, 0, 1920, 1080, true);
  f.display.AddAdapter("Off", 0);
  f.display.AddMonitor(-1280, 100, 1280, 1024);
  f.display.AddMonitor(1920, -200, 1080, 1920);
  bool slide_on_at_yield = true;
  f.loop.on_yield = [&] { slide_on_at_yield = p.state.T->tmrImmagine().Enabled(); };
  RunSaverMode(p.state);
  ASSERT_EQ(f.windows.saver_windows.size(), 3u);
  const char* expected[] = {"0,0,1920,1080", "-1280,100,0,1124", "1920,-200,3000,1720"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Text(f.windows.saver_windows[i]->placed), expected[i]);
    EXPECT_TRUE(f.windows.saver_windows[i]->topmost);
    EXPECT_EQ(f.windows.saver_windows[i]->box.refreshes, 1);
  }
  EXPECT_EQ(f.system.calls, (std::vector<std::string>{"ShowCursor(0)", "ScreenSaverRunning(0)",
                                                      "ScreenSaverRunning(1)"}));
  EXPECT_FALSE(slide_on_at_yield);
  EXPECT_TRUE(p.state.T->tmrScansione().Enabled() && p.state.T->tmrImmagine().Enabled());
}

TEST(Modes, PreviewScansBeforeItsWindowExistsThenFillsTheHost) {
  FakeProgram p;
  FakePorts& f = p.fakes;
  f.windows.parents[77] = 5;
  f.windows.rects[77] = {300, 200, 452, 312};
  std::size_t windows_at_yield = 99;
  f.loop.on_yield = [&] { windows_at_yield = f.windows.saver_windows.size(); };
  RunPreviewMode(p.state, 77);
  EXPECT_EQ(windows_at_yield, 0u);
  ASSERT_EQ(f.windows.saver_windows.size(), 1u);
  EXPECT_EQ(Text(f.windows.saver_windows[0]->placed), "0,0,152,112");
  EXPECT_FALSE(f.windows.saver_windows[0]->topmost);
  EXPECT_EQ(f.windows.saver_windows[0]->box.refreshes, 1);
}

// Where the options dialog (340 x 560 in the fake) lands for its owner.
TEST(Modes, OptionsDialogPlacement) {
  const std::vector<WindowRect> two = {{0, 0, 800, 600}, {800, 0, 1440, 480}};
  const struct {
    const char* what;
    WindowRect owner;
    std::vector<WindowRect> monitors;
    const char* at;  // "" when left alone
  } cases[] = {
      {"on monitor 2", {850, 40, 1200, 400}, two, "882,72"},
      {"exactly monitor 2", {800, 0, 1440, 480}, two, "832,32"},
      {"across two monitors: centred on monitor 1", {700, 40, 900, 400}, two, "230,20"},
      {"partly off screen", {700, 500, 790, 700}, two, "230,20"},
      {"monitor 1 left of the primary", {-100, 10, 100, 20}, {{-1024, 0, 0, 768}, {0, 0, 800, 600}}, "-682,104"},
      {"halves to even: 230.5, 20.5", {-50, 0, 100, 100}, {{0, 0, 801, 601}}, "230,20"},
      {"halves to even: 231.5", {-50, 0, 100, 100}, {{0, 0, 803, 601}}, "232,20"},
      {"no monitor", {0, 0, 10, 10}, {}, ""},
  };
  for (const auto& c : cases) {
    FakeProgram p;
    for (const WindowRect& m : c.monitors) p.fakes.display.AddMonitor(m.left, m.top, m.right - m.left, m.bottom - m.top);
    p.fakes.windows.rects[66] = c.owner;
    p.state.OptionsOwner = 66;
    FakeOptionsWindow dialog(1);
    PlaceOptionsDialog(p.state, dialog);
    EXPECT_EQ(dialog.moved ? std::to_string(dialog.x) + "," + std::to_string(dialog.y) : "", c.at) << c.what;
  }
}

}  // namespace
