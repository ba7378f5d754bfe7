// The saver form's key and mouse handling, driven through the fakes: a
// settable time of day, a virtual-time slide timer, a power port that
// reports a switch-off at once, and an EndProcess that throws ProcessEnded.
#include "saver/saver_form.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
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
    s.SharedPrng = std::make_unique<PrngVex>(p.fakes.system, p.fakes.loop);
    s.CurrentIndex = -1;
    s.PictureList.assign(101, "");
    Engine(s).Load();
  }
  // Windows 1..count, loaded, with the slide timer running.
  void Open(int count, WindowHandle preview_host = 0) {
    Engine(s).Load();  // again after a test ended the saver
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
  int Frames() const {
    int total = 0;
    for (const FakeSaverWindow* w : p.fakes.windows.saver_windows) total += w->box.refreshes;
    return total;
  }

  FakeProgram p;
  ProgramState& s = p.state;
};

TEST_F(SaverFormTest, LoadSetsTheInitialPositionAndADayOldActivity) {
  Open(1);
  Form().LastX = 3;
  Form().LastActivity = 7;
  Form().Form_Load();
  EXPECT_EQ(Form().LastX, -1.0f);
  EXPECT_EQ(Form().LastY, -1.0f);
  EXPECT_EQ(Form().LastActivity, -86400);
}

TEST_F(SaverFormTest, ForwardKeysShowTheNextPicturesAtOnce) {
  for (int key : {kEnter, kRight, kDown}) {
    SCOPED_TRACE(key);
    s.SaverWindows.clear();
    p.fakes.windows.saver_windows.clear();
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
    EXPECT_TRUE(Slide().Enabled());
    EXPECT_FALSE(s.Sleeping);
    EXPECT_FALSE(s.CommandKeyArmed);
    EXPECT_EQ(Form(2).LastActivity, 3601);
    EXPECT_EQ(Form(1).LastActivity, -86400);  // activity is per window
  }
}

TEST_F(SaverFormTest, ForwardRestartsTheSlideInterval) {
  Open(1);
  SetPictures(5);
  p.fakes.loop.Advance(50);  // the first tick switches to the 10 s interval
  ASSERT_EQ(s.CurrentIndex, 0);
  p.fakes.loop.Advance(6000);
  Form().Form_KeyDown(kRight, 0);
  EXPECT_EQ(s.CurrentIndex, 1);
  p.fakes.loop.Advance(9999);
  EXPECT_EQ(s.CurrentIndex, 1);
  p.fakes.loop.Advance(1);
  EXPECT_EQ(s.CurrentIndex, 2);
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
    int after_step;  // CurrentIndex once the windows are redrawn
  };
  const Case cases[] = {
      {10, 2, 5, 3},   // 4 and 5 on screen: back to 2 and 3
      {10, 1, 0, 9},   // wraps once: 0 - 2 + 10 = 8, then 9 is drawn
      {3, 2, 1, 2},    // 1 - 4 + 3 = 0: draws 1 and 2
      {1, 2, 0, -1},   // 0 - 4 + 1 = -3: both windows stay below 0, empty frames
      {2, 3, 1, 0},    // 1 - 6 + 2 = -3: two empty frames, then picture 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.pictures << " pictures, " << c.monitors << " monitors, index " << c.index);
    s.SaverWindows.clear();
    p.fakes.windows.saver_windows.clear();
    Open(c.monitors);
    SetPictures(c.pictures);
    s.CurrentIndex = c.index;
    Form().Form_KeyDown(kLeft, 0);
    EXPECT_EQ(s.CurrentIndex, c.after_step);
    for (int i = 1; i <= c.monitors; ++i) EXPECT_EQ(Window(i).box.refreshes, 1) << "window " << i;
    EXPECT_TRUE(Slide().Enabled());
  }
}

TEST_F(SaverFormTest, BackRestartsTheSlideInterval) {
  Open(1);
  SetPictures(10);
  p.fakes.loop.Advance(50);
  p.fakes.loop.Advance(7000);
  ASSERT_EQ(s.CurrentIndex, 0);
  Form().Form_KeyDown(kUp, 0);
  EXPECT_EQ(s.CurrentIndex, 9);
  p.fakes.loop.Advance(9999);
  EXPECT_EQ(s.CurrentIndex, 9);
  p.fakes.loop.Advance(1);
  EXPECT_EQ(s.CurrentIndex, 0);
}

TEST_F(SaverFormTest, BackWithAnEmptyCatalogueRedrawsEveryWindowWithoutMovingTheIndex) {
  for (bool scan_done : {false, true}) {
    SCOPED_TRACE(scan_done);
    s.SaverWindows.clear();
    p.fakes.windows.saver_windows.clear();
    Open(2);
    s.ScanDone = scan_done;
    Form().Form_KeyDown(kBackspace, 0);
    EXPECT_EQ(s.CurrentIndex, -1);
    EXPECT_EQ(Window(1).box.refreshes, 1);
    EXPECT_EQ(Window(2).box.refreshes, 1);
    EXPECT_TRUE(Slide().Enabled());
  }
}

// S: steps of (time of day, key) and what the last one did.
struct SStep {
  double at;
  int key;
};
struct SCase {
  const char* name;
  std::vector<SStep> steps;
  int offs;               // switch-off requests in all
  std::int32_t activity;  // LastActivity at the end
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
    s.SaverWindows.clear();
    p.fakes.windows.saver_windows.clear();
    p.fakes.power.offs = 0;
    s.Sleeping = false;
    Open(1);
    SetPictures(3);
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
    std::vector<int> keys;
    bool ends, armed, debug;
  };
  const Case cases[] = {
      {"arm then toggle", {kDebugArmKey, kDebugToggleKey}, false, false, true},
      {"twice toggles back", {kDebugArmKey, kDebugToggleKey, kDebugArmKey, kDebugToggleKey}, false, false, false},
      {"arm alone", {kDebugArmKey}, false, true, false},
      {"toggle alone ends", {kDebugToggleKey}, true, false, false},
      {"arming twice ends", {kDebugArmKey, kDebugArmKey}, true, false, false},
      {"arm then Left disarms", {kDebugArmKey, kLeft}, false, false, false},
      {"arm then S disarms", {kDebugArmKey, kS}, false, false, false},
      {"arm then an unnamed key disarms", {kDebugArmKey, 255}, false, false, false},
      {"a disarmed toggle ends", {kDebugArmKey, kRight, kDebugToggleKey}, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s.SaverWindows.clear();
    p.fakes.windows.saver_windows.clear();
    s.CommandKeyArmed = false;
    s.DebugMode = false;
    Open(1);
    SetPictures(4);
    bool ended = false;
    for (int key : c.keys) ended = ended || KeyEnds(key);
    EXPECT_EQ(ended, c.ends);
    if (ended) continue;
    EXPECT_EQ(s.CommandKeyArmed, c.armed);
    EXPECT_EQ(s.DebugMode, c.debug);
  }
}

TEST_F(SaverFormTest, ArmThenLeftStepsBack) {
  Open(1);
  SetPictures(10);
  s.CurrentIndex = 4;
  Form().Form_KeyDown(kDebugArmKey, 0);
  Form().Form_KeyDown(kLeft, 0);
  EXPECT_EQ(s.CurrentIndex, 3);
  EXPECT_FALSE(s.CommandKeyArmed);
}

TEST_F(SaverFormTest, OverlayKeysInPreviewNeverEnd) {
  Open(1, 77);
  EXPECT_FALSE(KeyEnds(kDebugToggleKey));
  EXPECT_FALSE(KeyEnds(kDebugArmKey));
  EXPECT_FALSE(KeyEnds(kDebugArmKey));
  EXPECT_FALSE(s.CommandKeyArmed);
  EXPECT_FALSE(s.DebugMode);
}

TEST_F(SaverFormTest, OverlayKeysWakeAndNoteActivity) {
  Open(1);
  At(42);
  s.Sleeping = true;
  Form().Form_KeyDown(kDebugArmKey, 0);
  EXPECT_FALSE(s.Sleeping);
  EXPECT_EQ(Form().LastActivity, 42);
}

TEST_F(SaverFormTest, UnnamedKeysOnlyCountAsActivity) {
  Open(1);
  for (int key : {0, 255}) {
    s.Sleeping = true;
    s.CommandKeyArmed = true;
    At(1000 + key);
    EXPECT_FALSE(KeyEnds(key)) << key;
    EXPECT_FALSE(s.Sleeping);
    EXPECT_FALSE(s.CommandKeyArmed);
    EXPECT_EQ(Form().LastActivity, 1000 + key);
  }
  EXPECT_EQ(Frames(), 0);
}

TEST_F(SaverFormTest, AnyOtherKeyEndsTheSaverButNeverThePreview) {
  const int keys[] = {kEscape, 'A', 'Z', '0', ' ', 9, 16, 17, 18, 112, kDebugArmKey - 1, kDebugToggleKey + 1, 0xFE};
  for (WindowHandle host : {WindowHandle{0}, WindowHandle{77}}) {
    for (int key : keys) {
      SCOPED_TRACE(::testing::Message() << "key " << key << (host ? " in preview" : ""));
      s.SaverWindows.clear();
      p.fakes.windows.saver_windows.clear();
      Open(1, host);
      s.Sleeping = true;
      At(321);
      EXPECT_EQ(KeyEnds(key), host == 0);
      EXPECT_FALSE(s.Sleeping);
      EXPECT_EQ(Form().LastActivity, 321);
      EXPECT_EQ(EngineLoaded(s), host != 0);  // the end unloads T
    }
  }
}

TEST_F(SaverFormTest, EndingTheSaverRestoresTheSystemAndTheCursor) {
  Open(1);
  EXPECT_TRUE(KeyEnds(kEscape));
  EXPECT_EQ(p.fakes.system.calls,
            (std::vector<std::string>{"ScreenSaverRunning(0)", "ShowCursor(1)", "EndProcess"}));
}

TEST_F(SaverFormTest, FirstMouseMoveOnlyRecordsThenAnyMovementEnds) {
  Open(1);
  SaverForm& f = Form();
  EXPECT_FALSE(Ends([&] { f.picSaver_MouseMove(0, 0, 300, 200); }));
  EXPECT_EQ(f.LastX, 300);
  EXPECT_EQ(f.LastY, 200);
  EXPECT_FALSE(Ends([&] { f.picSaver_MouseMove(0, 0, 300, 200); }));  // the same place again
  EXPECT_TRUE(Ends([&] { f.picSaver_MouseMove(0, 0, 300, 201); }));
}

TEST_F(SaverFormTest, MovementAlongOneAxisEnds) {
  Open(1);
  Form().picSaver_MouseMove(0, 0, 10, 10);
  EXPECT_TRUE(Ends([&] { Form().picSaver_MouseMove(0, 0, 11, 10); }));
}

TEST_F(SaverFormTest, MouseMovesInPreviewAreOnlyRecorded) {
  Open(1, 77);
  for (float x : {5.0f, 9.0f, 40.0f}) {
    EXPECT_FALSE(Ends([&] { Form().picSaver_MouseMove(0, 0, x, x); }));
    EXPECT_EQ(Form().LastX, x);
  }
}

TEST_F(SaverFormTest, MovementThatEndsAlsoClearsSleeping) {
  Open(1);
  s.Sleeping = true;
  bool sleeping_at_end = true;
  p.fakes.system.on_call = [&](const std::string&) { sleeping_at_end = s.Sleeping; };
  Form().picSaver_MouseMove(0, 0, 1, 1);
  EXPECT_TRUE(Ends([&] { Form().picSaver_MouseMove(0, 0, 2, 1); }));
  EXPECT_FALSE(sleeping_at_end);
}

TEST_F(SaverFormTest, MouseButtonsEndTheSaverButNotThePreview) {
  for (WindowHandle host : {WindowHandle{0}, WindowHandle{77}}) {
    for (int button : {1, 2, 4}) {
      s.SaverWindows.clear();
      Open(1, host);
      EXPECT_EQ(Ends([&] { Form().picSaver_MouseDown(button, 0, 5, 5); }), host == 0);
      EXPECT_EQ(Ends([&] { Form().picSaver_MouseUp(button, 0, 5, 5); }), host == 0);
    }
  }
}

TEST_F(SaverFormTest, QueryUnloadEndsUnlessTheProgramUnloads) {
  struct Case {
    int mode;
    bool ends;
  };
  for (Case c : {Case{kUnloadFromControlMenu, true}, Case{kUnloadFromCode, false}, Case{kUnloadAppWindows, true},
                 Case{kUnloadTaskManager, true}}) {
    for (WindowHandle host : {WindowHandle{0}, WindowHandle{77}}) {
      s.SaverWindows.clear();
      Open(1, host);
      int cancel = 0;
      EXPECT_EQ(Ends([&] { Form().Form_QueryUnload(cancel, c.mode); }), c.ends) << "mode " << c.mode;
      EXPECT_EQ(cancel, 0);
    }
  }
}

TEST_F(SaverFormTest, UnloadEndsOnlyThePreview) {
  Open(1);
  int cancel = 0;
  EXPECT_FALSE(Ends([&] { Form().Form_Unload(cancel); }));
  s.SaverWindows.clear();
  Open(1, 77);
  EXPECT_TRUE(Ends([&] { Form().Form_Unload(cancel); }));
}

}  // namespace
