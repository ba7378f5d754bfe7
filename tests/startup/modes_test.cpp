// Saver, preview and options-mode window set-up, driven through the fakes.
#include "startup/modes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_ports.h"
#include "startup/engine_form.h"

namespace {

class ModesTest : public ::testing::Test {
 protected:
  FakeProgram p;
  FakePorts& f = p.fakes;
  ProgramState& s = p.state;
};

struct Placed {
  int left, top, right, bottom;
  bool operator==(const WindowRect& r) const {
    return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
  }
};

TEST_F(ModesTest, SaverWindowsCoverEveryMonitorInAdapterOrder) {
  f.display.AddMonitor(0, 0, 1920, 1080, true);
  f.display.AddAdapter("Off", 0);
  f.display.AddMonitor(-1280, 100, 1280, 1024);
  f.display.AddMonitor(1920, -200, 1080, 1920);
  RunSaverMode(s);
  ASSERT_EQ(s.MonitorCount, 3);
  ASSERT_EQ(f.windows.saver_windows.size(), 3u);
  const Placed expected[] = {{0, 0, 1920, 1080}, {-1280, 100, 0, 1124}, {1920, -200, 3000, 1720}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(expected[i] == f.windows.saver_windows[i]->placed) << "window " << i + 1;
    EXPECT_TRUE(f.windows.saver_windows[i]->topmost);
  }
  // The cursor is hidden before the system hears "not running", then "running".
  EXPECT_EQ(f.system.calls, (std::vector<std::string>{"ShowCursor(0)", "ScreenSaverRunning(0)",
                                                      "ScreenSaverRunning(1)"}));
}

TEST_F(ModesTest, DebugSkipMonitorShrinksWindowOneToAFifthAndKeepsTheCursor) {
  f.display.AddMonitor(-1366, 0, 1366, 768);
  f.display.AddMonitor(0, 0, 800, 600, true);
  s.DebugSkipMonitor = true;
  RunSaverMode(s);
  ASSERT_EQ(f.windows.saver_windows.size(), 2u);
  // 1366 \ 5 = 273 and 768 \ 5 = 153, truncated; same corner.
  EXPECT_TRUE((Placed{-1366, 0, -1366 + 273, 153}) == f.windows.saver_windows[0]->placed);
  EXPECT_TRUE((Placed{0, 0, 800, 600}) == f.windows.saver_windows[1]->placed);
  EXPECT_EQ(std::count(f.system.calls.begin(), f.system.calls.end(), "ShowCursor(0)"), 0);
  EXPECT_EQ(f.system.calls.back(), "ScreenSaverRunning(1)");
}

TEST_F(ModesTest, SaverStartsTheScanBeforeTheShowAndDrawsAtOnce) {
  f.display.AddMonitor(0, 0, 800, 600, true);
  bool slide_enabled_at_yield = true;
  f.loop.on_yield = [&] { slide_enabled_at_yield = s.T->tmrImmagine().Enabled(); };
  RunSaverMode(s);
  EXPECT_FALSE(slide_enabled_at_yield);
  EXPECT_TRUE(s.T->tmrScansione().Enabled());
  EXPECT_TRUE(s.T->tmrImmagine().Enabled());
  EXPECT_EQ(f.windows.saver_windows[0]->box.refreshes, 1);
  EXPECT_EQ(s.CurrentIndex, -1);
}

TEST_F(ModesTest, PreviewScansBeforeItsWindowExistsThenFillsTheHost) {
  f.windows.parents[77] = 5;
  f.windows.rects[77] = {300, 200, 452, 312};
  std::size_t windows_at_yield = 99;
  f.loop.on_yield = [&] { windows_at_yield = f.windows.saver_windows.size(); };
  RunPreviewMode(s, 77);
  EXPECT_EQ(windows_at_yield, 0u);
  ASSERT_EQ(f.windows.saver_windows.size(), 1u);
  EXPECT_EQ(f.windows.saver_windows[0]->embedded_in, 77);
  EXPECT_TRUE((Placed{0, 0, 152, 112}) == f.windows.saver_windows[0]->placed);
  EXPECT_FALSE(f.windows.saver_windows[0]->topmost);
  EXPECT_EQ(f.windows.saver_windows[0]->box.refreshes, 1);
}

// Where the options dialog (340 x 560 in the fake) lands for an owner.
struct OwnerCase {
  const char* what;
  WindowRect owner;
  std::vector<WindowRect> monitors;
  bool moved;
  int x, y;
};

class OptionsPlacement : public ::testing::TestWithParam<OwnerCase> {};

TEST_P(OptionsPlacement, Lands) {
  const OwnerCase& c = GetParam();
  FakeProgram p;
  for (const WindowRect& m : c.monitors) p.fakes.display.AddMonitor(m.left, m.top, m.right - m.left, m.bottom - m.top);
  p.fakes.windows.rects[66] = c.owner;
  p.state.OptionsOwner = 66;
  FakeOptionsWindow dialog(1);
  PlaceOptionsDialog(p.state, dialog);
  EXPECT_EQ(dialog.moved, c.moved);
  if (c.moved) {
    EXPECT_EQ(dialog.x, c.x);
    EXPECT_EQ(dialog.y, c.y);
  }
}

const std::vector<WindowRect> kTwo = {{0, 0, 800, 600}, {800, 0, 1440, 480}};
const std::vector<WindowRect> kLeftOfPrimary = {{-1024, 0, 0, 768}, {0, 0, 800, 600}};

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionsPlacement,
    ::testing::Values(OwnerCase{"on_monitor_one", {100, 50, 500, 400}, kTwo, true, 132, 82},
                      OwnerCase{"on_monitor_two", {850, 40, 1200, 400}, kTwo, true, 882, 72},
                      OwnerCase{"exactly_the_monitor", {800, 0, 1440, 480}, kTwo, true, 832, 32},
                      OwnerCase{"across_two_monitors", {700, 40, 900, 400}, kTwo, true, 230, 20},
                      OwnerCase{"partly_off_screen", {700, 500, 790, 700}, kTwo, true, 230, 20},
                      OwnerCase{"monitor_one_left_of_primary", {-100, 10, 100, 20}, kLeftOfPrimary, true, -682, 104},
                      OwnerCase{"no_monitor", {0, 0, 10, 10}, {}, false, 0, 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(OptionsPlacementRounding, HalvesGoToTheEvenNeighbour) {
  // Monitor 1 of odd size: the centre falls on a half pixel.
  for (auto [width, expected_x] : {std::pair{801, 230}, std::pair{803, 232}, std::pair{805, 232}}) {
    FakeProgram p;
    p.fakes.display.AddMonitor(0, 0, width, 601);
    p.fakes.windows.rects[66] = {-50, 0, 100, 100};
    p.state.OptionsOwner = 66;
    FakeOptionsWindow dialog(1);
    PlaceOptionsDialog(p.state, dialog);
    EXPECT_EQ(dialog.x, expected_x) << width;
    EXPECT_EQ(dialog.y, 20) << width;  // 300.5 - 280 = 20.5
  }
}

}  // namespace
