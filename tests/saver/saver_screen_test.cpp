// The saver screen's key and mouse handling, driven through the fakes: a
// settable time of day, a virtual-time slide timer, a power port that
// reports a switch-off at once, and an EndProcess that throws ProcessEnded.
#include "saver/saver_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_services.h"
#include "sequence/show_keys.h"

namespace {

constexpr int kEnter = 13, kBackspace = 8, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kS = 83, kEscape = 27;
// Mouse events, as negative key codes.
enum : int { kMoveA = -1, kMoveB = -2, kClick = -3, kRelease = -4 };
const std::string kCredit = "Glimmora\r\nby Glimmora Labs";

// Saver windows 1..count over `pictures` pictures, the slide timer running at 10 s.
struct Saver : FakeShow {
  Saver(int count, bool preview = false, int pictures = 0, bool scan_done = false) {
    SetPictures(pictures, scan_done);
    settings.interval_ms = 10000;
    settings.caption = CaptionPosition::Off;  // text on a frame is only a message
    timers.Start();
    show.SetSystemPreview(preview);
    std::vector<PictureBox*> screens;
    for (int i = 0; i < count; ++i) {
      saver_screens.push_back(std::make_unique<SaverScreen>(
          SaverScreen::Services{fakes.system, fakes.power, timers, graphics, show, fakes.windows.SaverWindows()}));
      saver_screens.back()->Load();
      screens.push_back(&saver_screens.back()->Surface());
    }
    show.SetScreens(screens);
    timers.SlideTimer().SetInterval(10000);
    timers.SlideTimer().SetEnabled(true);
  }
  SaverScreen& Screen() { return *saver_screens[0]; }
  // The event at a time of day; true when it ended the program.
  bool Ends(double at, int event) {
    fakes.system.seconds = at;
    try {
      if (event >= 0) Screen().OnKeyDown(event, 0);
      if (event == kMoveA || event == kMoveB) Screen().OnMouseMove(0, 0, 300, event == kMoveA ? 200 : 201);
      if (event == kClick) Screen().OnMouseDown(1, 0, 5, 5);
      if (event == kRelease) Screen().OnMouseUp(1, 0, 5, 5);
      return false;
    } catch (const ProcessEnded&) {
      return true;
    }
  }
  // What window i drew: pictures, then "|" and the text over them.
  std::string Drawn(int i) {
    std::string out;
    for (const std::string& line : fakes.windows.saver_windows[i - 1]->box.log) {
      if (line.rfind("DrawPicture(", 0) == 0) out += line.substr(12, line.find(',') - 12);
      std::size_t from = line.find(',') + 1;
      if (line.rfind("AddString(#", 0) == 0) out += "|" + line.substr(from, line.find(",style ") - from);
    }
    return out;
  }
  std::vector<std::unique_ptr<SaverScreen>> saver_screens;
};

// Steps are (time of day, event); then whether the saver ended, and if not the
// overlay flag, the switch-off requests and LastActivity (rounded seconds).
TEST(SaverScreen, EventSequences) {
  const struct { const char* name; bool preview; std::vector<std::pair<double, int>> steps; bool ends, debug;
                 int offs, activity; } cases[] = {
      {"S right after opening", false, {{5.0, kS}}, false, false, 1, -86400},
      {"S exactly a second after", false, {{100.0, kRight}, {101.0, kS}}, false, false, 0, 101},
      {"S more than a second after", false, {{100.0, kRight}, {101.2, kS}}, false, false, 1, 100},
      {"S chained to S after a key", false, {{100.0, kRight}, {100.8, kS}, {101.6, kS}, {103.1, kS}}, false, false, 1, 102},
      {"S after midnight, last key long before", false, {{86399.4, kRight}, {0.5, kS}}, false, false, 1, -1},
      {"S across midnight within a second", false, {{86399.8, kRight}, {0.3, kS}}, false, false, 0, 0},
      {"a second S while the monitors are off", false, {{200.0, kS}, {200.2, kS}}, false, false, 1, 200},
      {"arm then toggle", false, {{1, kOverlayArmKey}, {2, kOverlayToggleKey}}, false, true, 0, 2},
      {"toggle alone ends", false, {{1, kOverlayToggleKey}}, true, false, 0, 0},
      {"toggling twice ends", false, {{1, kOverlayArmKey}, {1, kOverlayToggleKey}, {1, kOverlayToggleKey}}, true, false, 0, 0},
      {"arming twice ends", false, {{1, kOverlayArmKey}, {1, kOverlayArmKey}}, true, false, 0, 0},
      {"arm, Left disarms, toggle ends", false, {{1, kOverlayArmKey}, {1, kLeft}, {1, kOverlayToggleKey}}, true, false, 0, 0},
      {"keys naming nothing are activity", false, {{7, 0}, {8, 255}}, false, false, 0, 8},
      {"the first move only records, the same point again", false, {{1, kMoveA}, {1, kMoveA}}, false, false, 0, -86400},
      {"a button released ends", false, {{1, kRelease}}, true, false, 0, 0},
      {"preview: S never switches off", true, {{500, kS}}, false, false, 0, -86400},
      {"preview: arm then toggle", true, {{1, kOverlayArmKey}, {1, kOverlayToggleKey}}, false, true, 0, 1},
      {"preview: no key or mouse event ends", true, {{1, kOverlayToggleKey}, {2, kOverlayArmKey}, {3, kOverlayArmKey},
       {4, kEscape}, {5, kMoveA}, {5, kMoveB}, {5, kClick}, {5, kRelease}}, false, false, 0, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Saver saver(1, c.preview);
    bool ended = false;
    for (auto [at, event] : c.steps) ended = ended || saver.Ends(at, event);
    EXPECT_EQ(ended, c.ends);
    if (ended) continue;
    EXPECT_EQ(saver.show.Flags().status_overlay, c.debug);
    EXPECT_EQ(saver.fakes.power.offs, c.offs);
    EXPECT_EQ(saver.Screen().LastActivity(), c.activity);
  }
}

// Forward shows the next pictures, back steps over twice the windows; each
// window is redrawn once (picture|text) and the next slide comes a full
// interval later. Without `drawn` the slide timer is off: the key only wakes.
TEST(SaverScreen, Navigation) {
  auto p = [](int i) { return FakeShow::Picture(i); };
  const struct { int key, pictures, monitors, index, after; bool preview, scan_done; std::vector<std::string> drawn; }
  cases[] = {
      {kEnter, 5, 2, -1, 1, false, false, {p(0), p(1)}},
      {kLeft, 10, 2, 5, 3, false, false, {p(2), p(3)}},  // 4 and 5 on screen: back to 2 and 3
      {kUp, 10, 1, 0, 9, false, false, {p(9)}},          // wraps once: 0 - 2 + 10 = 8, then 9
      {kLeft, 2, 3, 1, 0, false, false, {"", "", p(0)}},  // 1 - 6 + 2 = -3: two empty frames
      {kLeft, 3, 1, 1, 0, true, false, {p(0) + "|" + kCredit}},
      {kBackspace, 0, 2, -1, -1, false, false, {"", ""}},  // the scan still runs
      {kBackspace, 0, 2, -1, -1, false, true, {"|No files found :(", "|No files found :("}},
      {kBackspace, 0, 1, -1, -1, true, true, {"|" + kCredit + "\r\nNo files found :("}},
      {kDown, 10, 2, 5, 5, false, false, {}},
      {kLeft, 10, 2, 5, 5, false, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
    Saver saver(c.monitors, c.preview, c.pictures, c.scan_done);
    const int frames = c.drawn.empty() ? 0 : 1;
    saver.order.SetCurrentIndex(c.index);
    saver.show.Flags().asleep = true;  // a tick draws nothing until a key wakes
    saver.timers.SlideTimer().SetEnabled(frames);
    saver.fakes.loop.Advance(6000);
    EXPECT_FALSE(saver.Ends(321, c.key));  // and the key wakes: the tick then draws
    saver.fakes.loop.RunPosted();
    EXPECT_EQ(saver.order.CurrentIndex(), c.after);
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
