// The saver form's key and mouse handling, driven through the fakes: a
// settable time of day, a virtual-time slide timer, a power port that
// reports a switch-off at once, and an EndProcess that throws ProcessEnded.
#include "saver/saver_form.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_ports.h"
#include "saver/debug_keys.h"
#include "sequence/prng_vex.h"
#include "startup/engine_form.h"

namespace {

constexpr int kEnter = 13, kBackspace = 8, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kS = 83, kEscape = 27;

class SaverFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.ShortName = "Glimmora";
    s.CreditName = " Glimmora Labs";
    s.CurrentSettings = MakeDefaultSettings();
    s.CurrentSettings.Random = false;
    s.CurrentSettings.Interval = 10000;
    s.CurrentSettings.ShowFilename = 0;  // text on a frame is then only a message
    s.SharedPrng = std::make_unique<PrngVex>(p.fakes.system, p.fakes.loop);
    s.CurrentIndex = -1;
    s.PictureList.assign(101, "");
    Engine(s).Load();
  }
  // A fresh set of windows 1..count, loaded, with the slide timer running.
  void Open(int count, WindowHandle preview_host = 0) {
    s.SaverWindows.clear();
    p.fakes.windows.saver_windows.clear();
    Engine(s).Load();  // again after a case ended the saver
    s.PreviewHost = preview_host;
    s.MonitorCount = static_cast<std::int16_t>(count);
    s.SaverWindows.resize(count + 1);
    for (int i = 1; i <= count; ++i) {
      s.SaverWindows[i] = std::make_unique<SaverForm>(s);
      s.SaverWindows[i]->Load();
    }
    Slide().SetEnabled(true);
  }
  void SetPictures(int count) {
    for (int i = 0; i < count; ++i) s.PictureList[i] = "pic" + std::to_string(i);
    s.PictureCount = count;
  }
  SaverForm& Form(int i = 1) { return *s.SaverWindows[i]; }
  FakeSaverWindow& Window(int i) { return *p.fakes.windows.saver_windows[i - 1]; }
  Timer& Slide() { return s.T->tmrImmagine(); }
  void At(double seconds) { p.fakes.system.seconds = seconds; }
  // Runs the action; true when it ended the program.
  static bool Ends(const std::function<void()>& action) {
    try {
      action();
      return false;
    } catch (const ProcessEnded&) {
      return true;
    }
  }
  bool KeyEnds(int key) {
    return Ends([&] { Form().Form_KeyDown(key, 0); });
  }
  // The picture window i loaded and the text drawn over it ("" for none),
  // over everything the window drew so far.
  std::pair<std::string, std::string> Drawn(int i) {
    std::string picture, text;
    for (const std::string& line : Window(i).box.log) {
      if (line.rfind("LoadPicture(", 0) == 0) picture = line.substr(12, line.size() - 13);
      if (line.rfind("AddString(#", 0) == 0) {
        std::size_t from = line.find(',') + 1;
        text = line.substr(from, line.find(",style ") - from);
      }
    }
    return {picture, text};
  }
  int Frames() const {
    int total = 0;
    for (const FakeSaverWindow* w : p.fakes.windows.saver_windows) total += w->box.refreshes;
    return total;
  }

  FakeProgram p;
  ProgramState& s = p.state;
};

TEST_F(SaverFormTest, ForwardKeysShowTheNextPicturesAtOnce) {
  for (int key : {kEnter, kRight, kDown}) {
    SCOPED_TRACE(key);
    s.CurrentIndex = -1;
    Open(2);
    SetPictures(5);
    s.Sleeping = true;
    s.CommandKeyArmed = true;
    At(3600.6);
    Form(2).Form_KeyDown(key, 0);
    EXPECT_EQ(s.CurrentIndex, 1);  // pictures 0 and 1, one per window
    EXPECT_EQ(Window(1).box.refreshes, 1);
    EXPECT_EQ(Window(2).box.refreshes, 1);
    EXPECT_FALSE(s.Sleeping);
    EXPECT_FALSE(s.CommandKeyArmed);
    EXPECT_EQ(Form(2).LastActivity, 3601);
    EXPECT_EQ(Form(1).LastActivity, -86400);  // activity is per window
  }
}

// Forward runs a tick, back re-enables the timer: either way the next slide
// comes a full interval later.
TEST_F(SaverFormTest, NavigationRestartsTheSlideInterval) {
  struct Case {
    int key, index_after_key;
  };
  for (Case c : {Case{kRight, 1}, Case{kUp, 9}}) {
    SCOPED_TRACE(c.key);
    s.CurrentIndex = -1;
    Open(1);
    SetPictures(10);
    p.fakes.loop.Advance(50);  // the first tick switches to the 10 s interval
    ASSERT_EQ(s.CurrentIndex, 0);
    p.fakes.loop.Advance(6000);
    Form().Form_KeyDown(c.key, 0);
    EXPECT_EQ(s.CurrentIndex, c.index_after_key);
    p.fakes.loop.Advance(9999);
    EXPECT_EQ(s.CurrentIndex, c.index_after_key);
    p.fakes.loop.Advance(1);
    EXPECT_EQ(s.CurrentIndex, (c.index_after_key + 1) % 10);
    s.T->Unload();  // the next case starts with fresh timers
  }
}

TEST_F(SaverFormTest, NavigationWhileTheSlideTimerIsOffOnlyNotesActivity) {
  Open(2);
  SetPictures(10);
  s.CurrentIndex = 5;
  Slide().SetEnabled(false);
  for (int key : {kEnter, kRight, kDown, kBackspace, kLeft, kUp}) {
    s.Sleeping = true;
    s.CommandKeyArmed = true;
    At(100 + key);
    EXPECT_FALSE(KeyEnds(key));
    EXPECT_EQ(s.CurrentIndex, 5) << key;
    EXPECT_FALSE(Slide().Enabled()) << key;
    EXPECT_FALSE(s.Sleeping) << key;
    EXPECT_FALSE(s.CommandKeyArmed) << key;
    EXPECT_EQ(Form().LastActivity, 100 + key);
  }
  EXPECT_EQ(Frames(), 0);
}

TEST_F(SaverFormTest, BackStepsOverTwiceTheWindowsAndRedrawsEachOnce) {
  struct Case {
    int pictures, monitors, index;
    int after_step;                           // CurrentIndex once the windows are redrawn
    std::vector<std::string> pictures_drawn;  // by window ("" an empty frame)
  };
  const Case cases[] = {
      {10, 2, 5, 3, {"pic2", "pic3"}},  // 4 and 5 on screen: back to 2 and 3
      {10, 1, 0, 9, {"pic9"}},          // wraps once: 0 - 2 + 10 = 8, then 9 is drawn
      {3, 2, 1, 2, {"pic1", "pic2"}},   // 1 - 4 + 3 = 0
      {1, 2, 0, -1, {"", ""}},          // 0 - 4 + 1 = -3: both windows stay below 0
      {2, 3, 1, 0, {"", "", "pic0"}},   // 1 - 6 + 2 = -3: two empty frames, then picture 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.pictures << " pictures, " << c.monitors << " monitors, index " << c.index);
    Open(c.monitors);
    SetPictures(c.pictures);
    s.CurrentIndex = c.index;
    Form().Form_KeyDown(kLeft, 0);
    EXPECT_EQ(s.CurrentIndex, c.after_step);
    for (int i = 1; i <= c.monitors; ++i) {
      EXPECT_EQ(Drawn(i), std::make_pair(c.pictures_drawn[i - 1], std::string())) << "window " << i;
      EXPECT_EQ(Window(i).box.refreshes, 1) << "window " << i;
    }
    EXPECT_TRUE(Slide().Enabled());
  }
}

TEST_F(SaverFormTest, BackInPreviewDrawsTheCreditOverThePicture) {
  Open(1, 77);
  SetPictures(3);
  s.CurrentIndex = 1;
  Form().Form_KeyDown(kLeft, 0);
  EXPECT_EQ(Drawn(1), std::make_pair(std::string("pic0"), std::string("Glimmora\r\nby Glimmora Labs")));
}

TEST_F(SaverFormTest, BackWithAnEmptyCatalogueRedrawsEveryWindowWithoutMovingTheIndex) {
  struct Case {
    bool scan_done;
    WindowHandle preview;
    const char* message;
  };
  const Case cases[] = {
      {false, 0, ""},
      {true, 0, "No files found :("},
      {false, 77, ""},
      {true, 77, "Glimmora\r\nby Glimmora Labs\r\nNo files found :("},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const int windows = c.preview ? 1 : 2;
    Open(windows, c.preview);
    s.ScanDone = c.scan_done;
    Form().Form_KeyDown(kBackspace, 0);
    EXPECT_EQ(s.CurrentIndex, -1);
    for (int i = 1; i <= windows; ++i) {
      EXPECT_EQ(Drawn(i), std::make_pair(std::string(), std::string(c.message))) << "window " << i;
      EXPECT_EQ(Window(i).box.refreshes, 1);
    }
    EXPECT_TRUE(Slide().Enabled());
  }
}

// S: steps of (time of day, key), the switch-off requests and LastActivity.
struct SStep {
  double at;
  int key;
};
struct SCase {
  const char* name;
  std::vector<SStep> steps;
  int offs;
  std::int32_t activity;
};

TEST_F(SaverFormTest, SSwitchesTheMonitorsOffUnlessAKeyCameWithinASecond) {
  const SCase cases[] = {
      {"right after opening", {{5.0, kS}}, 1, -86400},
      {"within a second of an arrow", {{100.0, kRight}, {100.8, kS}}, 0, 101},
      {"exactly a second after", {{100.0, kRight}, {101.0, kS}}, 0, 101},
      {"more than a second after", {{100.0, kRight}, {101.2, kS}}, 1, 100},
      {"S after S after a key", {{100.0, kRight}, {100.8, kS}, {101.6, kS}, {103.1, kS}}, 1, 102},
      {"after midnight, last key a while before", {{86399.4, kRight}, {0.5, kS}}, 1, -1},
      {"across midnight within a second", {{86399.8, kRight}, {0.3, kS}}, 0, 0},
      {"a second S while the monitors are off", {{200.0, kS}, {200.2, kS}}, 1, 200},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.name);
    p.fakes.power.offs = 0;
    s.Sleeping = false;
    Open(1);
    for (const SStep& step : c.steps) {
      At(step.at);
      EXPECT_FALSE(KeyEnds(step.key));
    }
    EXPECT_EQ(p.fakes.power.offs, c.offs);
    EXPECT_EQ(Form().LastActivity, c.activity);
  }
}

TEST_F(SaverFormTest, SleepingComesFromThePowerHookNotFromTheKey) {
  Open(1);
  At(50);
  Form().Form_KeyDown(kS, 0);
  EXPECT_TRUE(s.Sleeping);  // the hook heard the switch-off
  Form().Form_KeyDown(kS, 0);
  EXPECT_FALSE(s.Sleeping);  // a second S only wakes the flag
  EXPECT_EQ(p.fakes.power.offs, 1);

  s.T->Unload();  // without the hook nobody sets Sleeping
  At(60);
  Form().Form_KeyDown(kS, 0);
  EXPECT_EQ(p.fakes.power.offs, 2);
  EXPECT_FALSE(s.Sleeping);
}

TEST_F(SaverFormTest, SInPreviewNeverSwitchesTheMonitorsOff) {
  Open(1, 77);
  At(500);
  EXPECT_FALSE(KeyEnds(kS));
  EXPECT_EQ(p.fakes.power.offs, 0);
  EXPECT_EQ(Form().LastActivity, -86400);  // left as it was, as in saver mode
  s.Sleeping = true;
  Form().Form_KeyDown(kS, 0);
  EXPECT_FALSE(s.Sleeping);
  EXPECT_EQ(Form().LastActivity, 500);
}

TEST_F(SaverFormTest, OverlayKeyPairInSequence) {
  struct Case {
    const char* name;
    WindowHandle preview;
    std::vector<int> keys;
    bool ends, armed, debug;
  };
  const Case cases[] = {
      {"arm then toggle", 0, {kDebugArmKey, kDebugToggleKey}, false, false, true},
      {"twice toggles back", 0, {kDebugArmKey, kDebugToggleKey, kDebugArmKey, kDebugToggleKey}, false, false, false},
      {"arm alone", 0, {kDebugArmKey}, false, true, false},
      {"toggle alone ends", 0, {kDebugToggleKey}, true, false, false},
      {"arming twice ends", 0, {kDebugArmKey, kDebugArmKey}, true, false, false},
      {"arm then Left disarms", 0, {kDebugArmKey, kLeft}, false, false, false},
      {"arm then S disarms", 0, {kDebugArmKey, kS}, false, false, false},
      {"arm then an unnamed key disarms", 0, {kDebugArmKey, 255}, false, false, false},
      {"a disarmed toggle ends", 0, {kDebugArmKey, kRight, kDebugToggleKey}, true, false, false},
      {"preview: toggle alone", 77, {kDebugToggleKey}, false, false, false},
      {"preview: arming twice", 77, {kDebugArmKey, kDebugArmKey}, false, false, false},
      {"preview: arm then toggle", 77, {kDebugArmKey, kDebugToggleKey}, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s.CommandKeyArmed = false;
    s.DebugMode = false;
    Open(1, c.preview);
    SetPictures(4);
    bool ended = false;
    for (int key : c.keys) ended = ended || KeyEnds(key);
    EXPECT_EQ(ended, c.ends);
    if (ended) continue;
    EXPECT_EQ(s.CommandKeyArmed, c.armed);
    EXPECT_EQ(s.DebugMode, c.debug);
  }
}

// 0 and 255 name no key and only count as activity; every other key ends
// the saver (unloading T on the way), in preview none does.
TEST_F(SaverFormTest, OtherKeysEndTheSaverButNeverThePreview) {
  const int keys[] = {0, 255, kEscape, 'A', 'Z', '0', ' ', 9, 16, 18, 112, kDebugArmKey - 1, kDebugToggleKey + 1, 0xFE};
  for (WindowHandle host : {WindowHandle{0}, WindowHandle{77}}) {
    for (int key : keys) {
      SCOPED_TRACE(::testing::Message() << "key " << key << (host ? " in preview" : ""));
      Open(1, host);
      s.Sleeping = true;
      s.CommandKeyArmed = true;
      At(321);
      bool ends = host == 0 && key != 0 && key != 255;
      EXPECT_EQ(KeyEnds(key), ends);
      EXPECT_FALSE(s.Sleeping);
      EXPECT_FALSE(s.CommandKeyArmed);
      EXPECT_EQ(Form().LastActivity, 321);
      EXPECT_EQ(EngineLoaded(s), !ends);
    }
  }
}

TEST_F(SaverFormTest, FirstMouseMoveOnlyRecordsThenAnyMovementEnds) {
  for (float x : {300.0f, 301.0f}) {
    Open(1);
    SaverForm& f = Form();
    EXPECT_FALSE(Ends([&] { f.picSaver_MouseMove(0, 0, 300, 200); }));
    EXPECT_EQ(f.LastX, 300);
    EXPECT_EQ(f.LastY, 200);
    EXPECT_FALSE(Ends([&] { f.picSaver_MouseMove(0, 0, 300, 200); }));  // the same place again
    EXPECT_TRUE(Ends([&] { f.picSaver_MouseMove(0, 0, x, x == 300 ? 201 : 200); }));  // along either axis
  }
}

TEST_F(SaverFormTest, MouseButtonsEndTheSaver) {
  for (int button : {1, 2, 4}) {
    Open(1);
    EXPECT_TRUE(Ends([&] { Form().picSaver_MouseDown(button, 0, 5, 5); }));
    EXPECT_TRUE(Ends([&] { Form().picSaver_MouseUp(button, 0, 5, 5); }));
  }
}

TEST_F(SaverFormTest, MouseInPreviewEndsNothing) {
  Open(1, 77);
  for (float x : {5.0f, 9.0f, 40.0f}) {
    EXPECT_FALSE(Ends([&] { Form().picSaver_MouseMove(0, 0, x, x); }));
    EXPECT_EQ(Form().LastX, x);
    EXPECT_FALSE(Ends([&] { Form().picSaver_MouseDown(1, 0, x, x); }));
    EXPECT_FALSE(Ends([&] { Form().picSaver_MouseUp(1, 0, x, x); }));
  }
}

TEST_F(SaverFormTest, QueryUnloadEndsUnlessTheProgramUnloadsAndUnloadEndsOnlyThePreview) {
  for (WindowHandle host : {WindowHandle{0}, WindowHandle{77}}) {
    for (int mode : {kUnloadFromControlMenu, kUnloadFromCode, kUnloadAppWindows, kUnloadTaskManager}) {
      Open(1, host);
      int cancel = 0;
      EXPECT_EQ(Ends([&] { Form().Form_QueryUnload(cancel, mode); }), mode != kUnloadFromCode) << "mode " << mode;
      EXPECT_EQ(cancel, 0);
    }
    int cancel = 0;
    EXPECT_EQ(Ends([&] { Form().Form_Unload(cancel); }), host != 0);
  }
}

}  // namespace
