// Start-up: what each command line starts, driven through the fakes.
#include "startup/main.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"

namespace {

// "+" when Main returned true, "-" when false, "E" when the program ended;
// then "S" for a topmost saver window ("hidden": the cursor was hidden),
// "P<host>" for one embedded in the host, "C<owner>" for the options dialog,
// "R" for the refusal message, and the calls on other windows. Every handle
// the command lines name has the parent 66, except 7, 88 and 99.
std::string Start(const char* command_line) {
  FakeProgram p;
  FakePorts& f = p.fakes;
  f.display.AddMonitor(0, 0, 800, 600, true);
  for (WindowHandle h : {1234, 5678, 234, 77, 12, 2, 4, 42}) {
    f.windows.parents[h] = 66;
    f.windows.rects[h] = {10, 20, 162, 132};
  }
  std::string out;
  try {
    out = Main(p.state, command_line) ? "+" : "-";
  } catch (const ProcessEnded&) {
    out = "E";
  }
  for (const auto* w : f.windows.saver_windows) out += w->topmost ? "S" : "P" + std::to_string(w->embedded_in);
  for (const auto* w : f.windows.options_windows)
    out += "C" + std::to_string(w->owner) + (w->shown && w->caption == p.state.ProgramTitle ? "" : "?");
  for (const FakeSystem::Box& box : f.system.boxes)
    out += box.text == kRefusalMessage && box.title == p.state.ProgramTitle && box.style == 48 ? "R" : "?";
  if (!f.system.calls.empty() && f.system.calls[0] == "ShowCursor(0)") out += " hidden";
  for (const std::string& call : f.windows.calls) out += " " + call;
  return out;
}

TEST(Main, CommandLineStartsTheMode) {
  const std::pair<const char*, const char*> cases[] = {
      {"/S", "+S hidden"}, {"   /s   ", "+S hidden"}, {"/saver extra words", "+S hidden"},
      {"/P 1234", "+P1234"}, {"/p:5678", "+P5678"}, {"/P1234", "+P234"},  // the handle starts at the 4th character
      {"/P  77", "+P77"}, {"/P 12ab", "+P12"}, {"/P 2.5", "+P2"}, {"/P 3.5", "+P4"},
      {"/P", "E"}, {"/P abc", "E"}, {"/P 99999999999", "E"}, {"/P 88", "E"}, {"/P77", "E"},
      {"/c:42", "+C66 DisableWindow(66)"}, {"/C 1234", "+C66 DisableWindow(66)"}, {"/C:99", "+C0"},
      {"/C", "+C0"}, {"", "+C0"}, {"     ", "+C0"},
      {"/A", "-R"}, {"-S", "-R"}, {"S", "-R"}, {"x", "-R"}, {"/ S", "-R"}, {"/?", "-R"},
  };
  for (auto [command_line, started] : cases) EXPECT_EQ(Start(command_line), started) << "[" << command_line << "]";
}

}  // namespace
