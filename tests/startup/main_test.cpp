// Start-up: what each command line starts, driven through the fakes.
#include "startup/main.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "startup/engine_form.h"

namespace {

// S: a saver window; P: a preview embedded in `handle`; C: the options dialog
// owned by `handle`; E: an end without any window; R: the refusal message.
// Every handle the command lines name has the parent 66, except 7, 88 and 99.
TEST(Main, CommandLineStartsTheMode) {
  const struct {
    const char* raw;
    char mode;
    WindowHandle handle;
  } cases[] = {
      {"/S", 'S', 0},          {"   /s   ", 'S', 0},     {"/saver extra words", 'S', 0},
      {"/P 1234", 'P', 1234},  {"/p:5678", 'P', 5678},  {"/P1234", 'P', 234},  // the handle starts at the 4th character
      {"/P  77", 'P', 77},     {"/P 12ab", 'P', 12},    {"/P 2.5", 'P', 2},    {"/P 3.5", 'P', 4},
      {"/P", 'E', 0},          {"/P abc", 'E', 0},      {"/P 99999999999", 'E', 0}, {"/P 88", 'E', 0},
      {"/P77", 'E', 0},        {"/c:42", 'C', 66},      {"/C 1234", 'C', 66},  {"/C:99", 'C', 0},
      {"/C", 'C', 0},          {"", 'C', 0},            {"     ", 'C', 0},     {"/A", 'R', 0},
      {"-S", 'R', 0},          {"S", 'R', 0},           {"x", 'R', 0},         {"/ S", 'R', 0},
      {"/?", 'R', 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "[" << c.raw << "]");
    FakeProgram p;
    FakePorts& f = p.fakes;
    f.display.AddMonitor(0, 0, 800, 600, true);
    for (WindowHandle h : {1234, 5678, 234, 77, 12, 2, 4, 42}) {
      f.windows.parents[h] = 66;
      f.windows.rects[h] = {10, 20, 162, 132};
    }
    bool started = false;
    try {
      started = Main(p.state, c.raw);
    } catch (const ProcessEnded&) {
      EXPECT_EQ(c.mode, 'E');
    }
    EXPECT_EQ(started, c.mode == 'S' || c.mode == 'P' || c.mode == 'C');
    ASSERT_EQ(f.windows.saver_windows.size(), c.mode == 'S' || c.mode == 'P' ? 1u : 0u);
    ASSERT_EQ(f.windows.options_windows.size(), c.mode == 'C' ? 1u : 0u);
    ASSERT_EQ(f.system.boxes.size(), c.mode == 'R' ? 1u : 0u);
    if (c.mode == 'S') EXPECT_TRUE(f.windows.saver_windows[0]->topmost);
    if (c.mode == 'P') {
      EXPECT_EQ(f.windows.saver_windows[0]->embedded_in, c.handle);
      EXPECT_EQ(p.state.PreviewHost, c.handle);
      EXPECT_TRUE(f.system.calls.empty());  // the cursor and the screen-saver flag are left alone
    }
    if (c.mode == 'C') {
      EXPECT_TRUE(f.windows.options_windows[0]->shown);
      EXPECT_EQ(f.windows.options_windows[0]->caption, p.state.ProgramTitle);
      EXPECT_EQ(f.windows.options_windows[0]->owner, c.handle);
      EXPECT_EQ(f.windows.calls, c.handle ? std::vector<std::string>{"DisableWindow(66)"} : std::vector<std::string>{});
    }
    if (c.mode == 'R') {
      EXPECT_EQ(f.system.boxes[0].text, kRefusalMessage);
      EXPECT_EQ(f.system.boxes[0].title, p.state.ProgramTitle);
      EXPECT_EQ(f.system.boxes[0].style, 48);
      EXPECT_FALSE(EngineLoaded(p.state));
    }
  }
}

}  // namespace
