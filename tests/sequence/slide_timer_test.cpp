#include "sequence/slide_timer.h"

#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "saver/saver_form.h"
#include "sequence/prng_vex.h"
#include "startup/engine_form.h"

namespace {

class SlideTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.ShortName = "Glimmora";
    s.CreditName = " Glimmora Labs";
    s.CurrentSettings = MakeDefaultSettings();
    s.CurrentSettings.Random = false;
    s.SharedPrng = std::make_unique<PrngVex>(p.fakes.system, p.fakes.loop);
    s.CurrentIndex = -1;
    s.PictureList.assign(101, "");
    Engine(s).Load();
  }
  void OpenWindows(int count) {
    s.MonitorCount = static_cast<std::int16_t>(count);
    s.SaverWindows.resize(count + 1);
    for (int i = 1; i <= count; ++i) {
      s.SaverWindows[i] = std::make_unique<SaverForm>(s);
      s.SaverWindows[i]->Load();
    }
  }
  void SetPictures(int count) {
    for (int i = 0; i < count; ++i) s.PictureList[i] = "pic" + std::to_string(i);
    s.PictureCount = count;
  }
  FakeSaverWindow& Window(int i) { return *p.fakes.windows.saver_windows[i - 1]; }
  Timer& Slide() { return s.T->tmrImmagine(); }

  FakeProgram p;
  ProgramState& s = p.state;
};

TEST_F(SlideTimerTest, EachWindowTakesTheNextPictureInWindowOrder) {
  OpenWindows(2);
  SetPictures(3);
  tmrImmagine_Timer(s);
  EXPECT_EQ(s.CurrentIndex, 1);  // window 1 drew 0, window 2 drew 1
  tmrImmagine_Timer(s);
  EXPECT_EQ(s.CurrentIndex, 0);  // then 2 and 0
  EXPECT_EQ(Window(1).box.refreshes, 2);
  EXPECT_EQ(Window(2).box.refreshes, 2);
}

TEST_F(SlideTimerTest, StartIntervalGivesWayOnceThereIsSomethingToShow) {
  OpenWindows(1);
  Slide().SetEnabled(true);
  tmrImmagine_Timer(s);  // empty and scanning: keep polling fast
  EXPECT_EQ(Slide().Interval(), 50u);
  EXPECT_TRUE(Slide().Enabled());
  SetPictures(1);
  tmrImmagine_Timer(s);
  EXPECT_EQ(Slide().Interval(), 15000u);
  EXPECT_TRUE(Slide().Enabled());
}

TEST_F(SlideTimerTest, FinishedEmptyScanAlsoSwitchesTheInterval) {
  OpenWindows(1);
  s.ScanDone = true;
  tmrImmagine_Timer(s);
  EXPECT_EQ(Slide().Interval(), 15000u);
  EXPECT_EQ(s.CurrentIndex, -1);
}

TEST_F(SlideTimerTest, SleepingDrawsNothingButKeepsTicking) {
  OpenWindows(2);
  SetPictures(3);
  s.Sleeping = true;
  tmrImmagine_Timer(s);
  EXPECT_EQ(s.CurrentIndex, -1);
  EXPECT_EQ(Window(1).box.refreshes, 0);
  EXPECT_TRUE(Slide().Enabled());
  s.Sleeping = false;
  tmrImmagine_Timer(s);
  EXPECT_EQ(s.CurrentIndex, 1);
}

TEST_F(SlideTimerTest, TimerTicksThroughTheEventLoop) {
  OpenWindows(1);
  SetPictures(4);
  s.CurrentSettings.Interval = 1000;
  Slide().SetEnabled(true);
  p.fakes.loop.Advance(50);  // first tick at the start interval
  EXPECT_EQ(s.CurrentIndex, 0);
  p.fakes.loop.Advance(999);
  EXPECT_EQ(s.CurrentIndex, 0);
  p.fakes.loop.Advance(1);
  EXPECT_EQ(s.CurrentIndex, 1);
}

TEST_F(SlideTimerTest, NothingHappensOnceTIsUnloaded) {
  OpenWindows(1);
  SetPictures(2);
  s.T->Unload();
  tmrImmagine_Timer(s);
  EXPECT_EQ(s.CurrentIndex, -1);
  EXPECT_EQ(Window(1).box.refreshes, 0);
}

TEST_F(SlideTimerTest, DialogPreviewWithoutADialogDrawsNothing) {
  s.MonitorCount = 0;
  SetPictures(2);
  tmrImmagine_Timer(s);
  EXPECT_EQ(s.CurrentIndex, -1);
  EXPECT_TRUE(Slide().Enabled());
}

TEST_F(SlideTimerTest, StartSlideTimerActsOnlyWithTheInfoPanelShown) {
  OpenWindows(1);
  StartSlideTimer(s);  // no dialog at all
  EXPECT_EQ(s.MonitorCount, 1);
  EXPECT_FALSE(Slide().Enabled());
}

TEST_F(SlideTimerTest, PreviewCreditText) { EXPECT_EQ(PreviewCredit(s), "Glimmora\r\nby Glimmora Labs"); }

}  // namespace
