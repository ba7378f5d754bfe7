// The saver form's key and mouse handling, driven through the fakes: a
// settable time of day, a virtual-time slide timer, a power port that
// reports a switch-off at once, and an EndProcess that throws ProcessEnded.
#include "saver/saver_form.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_ports.h"
#include "saver/debug_keys.h"
#include "startup/engine_form.h"

namespace {

constexpr int kEnter = 13, kBackspace = 8, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kS = 83, kEscape = 27;
// Mouse events, as negative key codes.
enum : int { kMoveA = -1, kMoveB = -2, kClick = -3, kRelease = -4 };
const std::string kCredit = "Glimmora\r\nby Glimmora Labs";

// Saver windows 1..count over `pictures` pictures, the slide timer running at 10 s.
struct Saver : FakeProgram {
  Saver(int count, WindowHandle preview = 0, int pictures = 0) {
    state.ShortName = "Glimmora";
    state.CreditName = " Glimmora Labs";
    state.CurrentSettings.Interval = 10000;  // in order, no caption: text on a frame is only a message
    Engine(state).Load();
    state.PreviewHost = preview;
    state.MonitorCount = static_cast<std::int16_t>(count);
    state.SaverWindows.resize(count + 1);
    for (int i = 1; i <= count; ++i) (state.SaverWindows[i] = std::make_unique<SaverForm>(state))->Load();
    for (int i = 0; i < pictures; ++i) state.PictureList.push_back("pic" + std::to_string(i));
    state.PictureCount = pictures;
    state.T->tmrImmagine().SetInterval(10000);
    state.T->tmrImmagine().SetEnabled(true);
  }
  SaverForm& Form() { return *state.SaverWindows[1]; }
  // The event at a time of day; true when it ended the program.
  bool Ends(double at, int event) {
    fakes.system.seconds = at;
    try {
      if (event >= 0) Form().Form_KeyDown(event, 0);
      if (event == kMoveA || event == kMoveB) Form().picSaver_MouseMove(0, 0, 300, event == kMoveA ? 200 : 201);
      if (event == kClick) Form().picSaver_MouseDown(1, 0, 5, 5);
      if (event == kRelease) Form().picSaver_MouseUp(1, 0, 5, 5);
      return false;
    } catch (const ProcessEnded&) {
      return true;
    }
  }
  // What window i drew: pictures, then "|" and the text over them.
  std::string Drawn(int i) {
    std::string out;
    for (const std::string& line : fakes.windows.saver_windows[i - 1]->box.log) {
      if (line.rfind("LoadPicture(", 0) == 0) out += line.substr(12, line.size() - 13);
      std::size_t from = line.find(',') + 1;
      if (line.rfind("AddString(#", 0) == 0) out += "|" + line.substr(from, line.find(",style ") - from);
    }
    return out;
  }
};

// Steps are (time of day, event); then whether the saver ended, and if not the
// overlay flag, the switch-off requests and LastActivity (rounded seconds).
TEST(SaverForm, EventSequences) {
  const struct {
    const char* name;
    WindowHandle preview;
    std::vector<std::pair<double, int>> steps;
    bool ends, debug;
    int offs, activity;
  } cases[] = {
      {"S right after opening", 0, {{5.0, kS}}, false, false, 1, -86400},
      {"S exactly a second after", 0, {{100.0, kRight}, {101.0, kS}}, false, false, 0, 101},
      {"S more than a second after", 0, {{100.0, kRight}, {101.2, kS}}, false, false, 1, 100},
      {"S chained to S after a key", 0, {{100.0, kRight}, {100.8, kS}, {101.6, kS}, {103.1, kS}}, false, false, 1, 102},
      {"S after midnight, last key long before", 0, {{86399.4, kRight}, {0.5, kS}}, false, false, 1, -1},
      {"S across midnight within a second", 0, {{86399.8, kRight}, {0.3, kS}}, false, false, 0, 0},
      {"a second S while the monitors are off", 0, {{200.0, kS}, {200.2, kS}}, false, false, 1, 200},
      {"arm then toggle", 0, {{1, kDebugArmKey}, {2, kDebugToggleKey}}, false, true, 0, 2},
      {"toggle alone ends", 0, {{1, kDebugToggleKey}}, true, false, 0, 0},
      {"arming twice ends", 0, {{1, kDebugArmKey}, {1, kDebugArmKey}}, true, false, 0, 0},
      {"arm, Left disarms, toggle ends", 0, {{1, kDebugArmKey}, {1, kLeft}, {1, kDebugToggleKey}}, true, false, 0, 0},
      {"keys naming nothing are activity", 0, {{7, 0}, {8, 255}}, false, false, 0, 8},
      {"the first move only records, the same point again", 0, {{1, kMoveA}, {1, kMoveA}}, false, false, 0, -86400},
      {"a button released ends", 0, {{1, kRelease}}, true, false, 0, 0},
      {"preview: S never switches off", 77, {{500, kS}}, false, false, 0, -86400},
      {"preview: arm then toggle", 77, {{1, kDebugArmKey}, {1, kDebugToggleKey}}, false, true, 0, 1},
      {"preview: no key or mouse event ends", 77, {{1, kDebugToggleKey}, {2, kDebugArmKey}, {3, kDebugArmKey},
       {4, kEscape}, {5, kMoveA}, {5, kMoveB}, {5, kClick}, {5, kRelease}}, false, false, 0, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Saver saver(1, c.preview);
    bool ended = false;
    for (auto [at, event] : c.steps) ended = ended || saver.Ends(at, event);
    EXPECT_EQ(ended, c.ends);
    if (ended) continue;
    EXPECT_EQ(saver.state.DebugMode, c.debug);
    EXPECT_EQ(saver.fakes.power.offs, c.offs);
    EXPECT_EQ(saver.Form().LastActivity, c.activity);
  }
}

// Forward shows the next pictures, back steps over twice the windows; each
// window is redrawn once (picture|text) and the next slide comes a full
// interval later. Without `drawn` the slide timer is off: the key only wakes.
TEST(SaverForm, Navigation) {
  const struct {
    int key, pictures, monitors, index, after;
    WindowHandle preview;
    bool scan_done;
    std::vector<std::string> drawn;
  } cases[] = {
      {kEnter, 5, 2, -1, 1, 0, false, {"pic0", "pic1"}},
      {kLeft, 10, 2, 5, 3, 0, false, {"pic2", "pic3"}},  // 4 and 5 on screen: back to 2 and 3
      {kUp, 10, 1, 0, 9, 0, false, {"pic9"}},            // wraps once: 0 - 2 + 10 = 8, then 9
      {kLeft, 2, 3, 1, 0, 0, false, {"", "", "pic0"}},   // 1 - 6 + 2 = -3: two empty frames
      {kLeft, 3, 1, 1, 0, 77, false, {"pic0|" + kCredit}},
      {kBackspace, 0, 2, -1, -1, 0, false, {"", ""}},  // the scan still runs
      {kBackspace, 0, 2, -1, -1, 0, true, {"|No files found :(", "|No files found :("}},
      {kBackspace, 0, 1, -1, -1, 77, true, {"|" + kCredit + "\r\nNo files found :("}},
      {kDown, 10, 2, 5, 5, 0, false, {}},
      {kLeft, 10, 2, 5, 5, 0, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
    Saver saver(c.monitors, c.preview, c.pictures);
    ProgramState& s = saver.state;
    const int frames = c.drawn.empty() ? 0 : 1;
    s.CurrentIndex = c.index;
    s.ScanDone = c.scan_done;
    s.Sleeping = true;  // a tick draws nothing until a key wakes
    s.T->tmrImmagine().SetEnabled(frames);
    saver.fakes.loop.Advance(6000);
    EXPECT_FALSE(saver.Ends(321, c.key));  // and the key wakes: the tick then draws
    EXPECT_EQ(s.CurrentIndex, c.after);
    for (int i = 1; i <= c.monitors; ++i) {
      EXPECT_EQ(saver.Drawn(i), frames ? c.drawn[i - 1] : "") << "window " << i;
      EXPECT_EQ(saver.fakes.windows.saver_windows[i - 1]->box.refreshes, frames) << "window " << i;
    }
    saver.fakes.loop.Advance(9999);  // the next slide a full interval after the key
    EXPECT_EQ(saver.fakes.windows.saver_windows[0]->box.refreshes, frames);
    saver.fakes.loop.Advance(1);
    EXPECT_EQ(saver.fakes.windows.saver_windows[0]->box.refreshes, 2 * frames);
  }
}

}  // namespace
