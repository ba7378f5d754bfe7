// Start-up, the run modes and the saver's orderly end, driven through the
// fakes (EndProcess throws ProcessEnded instead of ending).
#include "startup/program.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_services.h"
#include "saver/saver_exit.h"

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

struct Rig {
  Rig() { fakes.windows.parents[77] = 5, fakes.windows.rects[77] = {300, 200, 452, 312}; }
  FakeServices fakes;
  Program program{fakes.View()};
};

// What a command line started; window: the preview's host, the dialog's owner.
enum class Started { Saver, Preview, Options, Refused, Ended };
struct Start {
  Started mode;
  WindowHandle window = 0;
  bool operator==(const Start&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Start& s) { return out << int(s.mode) << " " << s.window; }

// Every handle the command lines name has the parent 66, except 7, 88 and 99.
// XScreenSaver's flags are the Linux entry's (MainHack): Main refuses them, as
// Windows does.
Start StartWith(const char* command_line) {
  Rig r;
  FakeServices& fakes = r.fakes;
  fakes.display.AddMonitor(0, 0, 800, 600, true);
  for (WindowHandle h : {1234, 5678, 234, 77, 12, 2, 4, 42}) {
    fakes.windows.parents[h] = 66;
    fakes.windows.rects[h] = {10, 20, 162, 132};
  }
  const std::string title = RestoreIdentity().title;
  bool returned = false;
  const bool ended = ExitCode([&] { returned = r.program.Main(command_line); }) != -1;
  const auto& savers = fakes.windows.saver_windows;
  const auto& dialogs = fakes.windows.options_windows;
  EXPECT_EQ(savers.size() + dialogs.size() + fakes.system.boxes.size(), ended ? 0u : 1u) << "one window or message";
  if (ended) return {Started::Ended};
  if (!returned) {
    const FakeSystem::Box& box = fakes.system.boxes.at(0);
    EXPECT_TRUE(box.text == kRefusalMessage && box.title == title && box.style == MessageBoxStyle::Exclamation);
    return {Started::Refused};
  }
  if (!dialogs.empty()) {
    const FakeOptionsWindow& dialog = *dialogs[0];
    EXPECT_TRUE(dialog.shown && dialog.caption == title);
    const std::vector<std::string> disabled = {"DisableWindow(" + std::to_string(dialog.owner) + ")"};
    EXPECT_EQ(fakes.windows.calls, dialog.owner ? disabled : std::vector<std::string>{}) << "the owner waits";
    return {Started::Options, dialog.owner};
  }
  const bool hidden = !fakes.system.calls.empty() && fakes.system.calls[0] == "ShowCursor(0)";
  EXPECT_EQ(hidden, savers.at(0)->topmost) << "the saver hides the cursor, a preview does not";
  return savers[0]->topmost ? Start{Started::Saver} : Start{Started::Preview, savers[0]->embedded_in};
}

TEST(Program, CommandLineStartsTheMode) {
  const Start saver{Started::Saver}, refused{Started::Refused}, ended{Started::Ended};
  const Start owned_by_66{Started::Options, 66}, unowned{Started::Options, 0};
  auto in = [](WindowHandle host) { return Start{Started::Preview, host}; };
  const std::pair<const char*, Start> cases[] = {
      {"/S", saver},
      {"   /s   ", saver},
      {"/saver extra words", saver},
      {"/P 1234", in(1234)},
      {"/p:5678", in(5678)},
      {"/P1234", in(234)},  // the handle starts at the 4th character
      {"/P  77", in(77)},
      {"/P 12ab", in(12)},
      {"/P 2.5", in(2)},
      {"/P 3.5", in(4)},
      {"/P", ended},
      {"/P abc", ended},
      {"/P 99999999999", ended},
      {"/P 88", ended},
      {"/P77", ended},
      {"/c:42", owned_by_66},
      {"/C 1234", owned_by_66},
      {"/C:99", unowned},
      {"/C", unowned},
      {"", unowned},
      {"/A", refused},
      {"-S", refused},
      {"S", refused},
      {"/ S", refused},
      {"--root", refused},
  };
  for (auto [command_line, started] : cases) EXPECT_EQ(StartWith(command_line), started) << "[" << command_line << "]";
}

// Hack mode: the full show (not the tenth-size preview) in the daemon's
// window, which keeps the input. Over monitor 2 of 2 it shows the second
// picture of each slide, as /S would there; in any other window every one.
TEST(Program, HackShowsItsMonitorsTurnInTheDaemonsWindow) {
  const struct {
    WindowRect window;
    const char* pictures;
  } cases[] = {
      {{800, 0, 1440, 480}, "p001 p003 p001"},   // monitor 2
      {{100, 100, 300, 250}, "p000 p001 p002"},  // a preview
      {{0, 0, 1440, 600}, "p000 p001 p002"},     // the root window
  };
  for (const auto& c : cases) {
    Rig r;
    FakeServices& fakes = r.fakes;
    fakes.display.AddMonitor(0, 0, 800, 600, true);
    fakes.display.AddMonitor(800, 0, 640, 480);
    fakes.registry.Put(kHkeyCurrentUser, "Software\\Glimmora", "ImageDirectory", kRegSz, std::string("C:\\p\\") + '\0');
    fakes.registry.Put(kHkeyCurrentUser, "Software\\Glimmora", "Random", kRegSz, std::string("0") + '\0');
    for (int i = 0; i < 4; ++i) fakes.files.Make(FakeShow::Picture(i));
    fakes.windows.rects[0x40000e] = c.window;
    r.program.MainHack(0x40000e);
    fakes.loop.Advance(2 * 15000 + 1000);  // two slides after the first, at the default interval
    const FakeSaverWindow& w = *fakes.windows.saver_windows.at(0);
    EXPECT_EQ(w.embedded_in, 0x40000e);
    EXPECT_FALSE(w.takes_input || w.topmost);
    EXPECT_FALSE(r.program.show().InSystemPreview());
    std::string shown;
    for (const std::string& line : w.box.log)
      if (line.rfind("DrawPicture(", 0) == 0) shown += (shown.empty() ? "" : " ") + line.substr(17, 4);
    EXPECT_EQ(shown, c.pictures);
    EXPECT_TRUE(fakes.system.calls.empty());  // no cursor hidden, no system flag set
  }
}

// Where the options dialog (340 x 560 in the fake) lands for its owner.
TEST(Program, OptionsDialogPlacement) {
  // at: "" when left alone
  const struct {
    WindowRect owner;
    std::vector<WindowRect> monitors;
    const char* at;
  } cases[] = {
      {{850, 40, 1200, 400}, {{0, 0, 800, 600}, {800, 0, 1440, 480}}, "882,72"},  // on monitor 2: 32 right and below
      {{-100, 10, 100, 20}, {{-1024, 0, 0, 768}, {0, 0, 800, 600}}, "-682,104"},  // across: centred on monitor 1
      {{-50, 0, 100, 100}, {{0, 0, 801, 601}}, "230,20"},                         // halves to even: 230.5, 20.5
      {{-50, 0, 100, 100}, {{0, 0, 803, 601}}, "232,20"},                         // 231.5
      {{0, 0, 10, 10}, {}, ""},                                                   // no monitor: left alone
  };
  for (const auto& c : cases) {
    Rig r;
    for (const auto& m : c.monitors) r.fakes.display.AddMonitor(m.left, m.top, m.right - m.left, m.bottom - m.top);
    r.fakes.windows.parents[12] = 66;
    r.fakes.windows.rects[66] = c.owner;
    r.program.Main("/C 12");
    const FakeOptionsWindow& dialog = *r.fakes.windows.options_windows.at(0);
    EXPECT_EQ(dialog.moved ? std::to_string(dialog.x) + "," + std::to_string(dialog.y) : "", c.at);
  }
}

// The timers stopped first, then the system told, the cursor shown, the
// power settings restored, the graphics stopped and the end with code 0: ended by a key in the saver, by
// the host in the system preview, and before anything ran.
TEST(Program, SaverEndsInOrder) {
  for (const char* mode : {"/S", "/P 77", ""}) {
    SCOPED_TRACE(mode);
    Rig r;
    FakeServices& fakes = r.fakes;
    fakes.display.AddMonitor(0, 0, 800, 600, true);
    if (*mode) r.program.Main(mode);
    fakes.loop.Advance(200);  // the show runs: the first frame started the graphics library
    fakes.loop.now += 10000;  // and a tick is overdue when it ends
    std::vector<std::string> seen;
    fakes.system.on_call = [&](const std::string& call) {
      seen.push_back(call + (r.program.timers().IsRunning() ? " loaded" : "") + " stops=" +
                     std::to_string(fakes.graphics.stops) + " restores=" + std::to_string(fakes.power.restores));
    };
    bool cancel = false;
    const int code = ExitCode([&] {
      const std::string started = mode;  // "" started nothing: no window to end it through
      if (started == "/S") fakes.windows.saver_windows.at(0)->events.OnKeyDown(27, 0);
      if (started == "/P 77") fakes.windows.saver_windows.at(0)->events.OnClosed(cancel);
      GraphicsSession graphics(fakes.graphics, fakes.system);
      EndSaver({r.program.timers(), fakes.system, fakes.power, graphics});
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"ScreenSaverRunning(0) stops=0 restores=0", "ShowCursor(1) stops=0 restores=0",
                                        "EndProcess stops=" + std::to_string(*mode != 0) + " restores=1"}));
    EXPECT_FALSE(fakes.loop.FireNext());  // no slide after the end
  }
}

}  // namespace
