#include "sequence/slide_timer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_ports.h"
#include "options/options_dialog.h"
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
  // The calls of a box's frames that start with prefix.
  static std::vector<std::string> Calls(const RecordingPictureBox& box, const std::string& prefix) {
    std::vector<std::string> out;
    std::copy_if(box.log.begin(), box.log.end(), std::back_inserter(out),
                 [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
    return out;
  }
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

// What one tick draws into a saver window: the message or caption text and
// where the picture goes (a 1920x1080 picture, scale mode 0, so the system
// preview's one tenth shows in the rectangle).
TEST_F(SlideTimerTest, WhatATickDrawsInTheSaverAndInTheSystemPreview) {
  struct Case {
    const char* name;
    bool preview, scanDone;
    int pictures;
    const char* text;   // drawn by the caption layer
    const char* image;  // the DrawImageRect call, "" for none
  } cases[] = {
      {"scanning, nothing yet", false, false, 0, "", ""},
      {"scan done, nothing found", false, true, 0, "No files found :(", ""},
      {"preview, nothing found", true, true, 0, "Glimmora\r\nby Glimmora Labs\r\nNo files found :(", ""},
      {"preview, scanning", true, false, 0, "", ""},
      {"a picture", false, false, 1, "pic0", "DrawImageRect(pic0,0,0,1920,1080)"},
      {"preview, a picture", true, true, 1, "Glimmora\r\nby Glimmora Labs", "DrawImageRect(pic0,864,486,192,108)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeProgram fresh;
    ProgramState& st = fresh.state;
    st.ShortName = "Glimmora";
    st.CreditName = " Glimmora Labs";
    st.CurrentSettings = MakeDefaultSettings();
    st.CurrentSettings.UpscaleMode = 0;
    st.CurrentSettings.Random = false;
    st.CurrentIndex = -1;
    st.PreviewHost = c.preview ? 4242 : 0;
    st.ScanDone = c.scanDone;
    st.PictureList.assign(101, "");
    st.PictureList[0] = "pic0";
    st.PictureCount = c.pictures;
    Engine(st).Load();
    st.MonitorCount = 1;
    st.SaverWindows.resize(2);
    st.SaverWindows[1] = std::make_unique<SaverForm>(st);
    st.SaverWindows[1]->Load();
    RecordingPictureBox& box = fresh.fakes.windows.saver_windows[0]->box;
    box.pictures["pic0"] = {1920, 1080};
    tmrImmagine_Timer(st);
    std::vector<std::string> text = Calls(box, "AddString(#2,");
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].rfind(std::string("AddString(#2,") + c.text + ",style", 0), 0u) << text[0];
    std::vector<std::string> image = Calls(box, "DrawImageRect(");
    EXPECT_EQ(image.empty() ? "" : image[0], c.image);
    EXPECT_EQ(box.refreshes, 1);
  }
}

// The options dialog's preview: one box, the picture at one tenth, and the
// message once the scan has found nothing; Sleeping does not apply to it.
TEST_F(SlideTimerTest, DialogPreviewDrawsIntoTheDialogsBox) {
  OptionsDialog& dialog = Options(s);
  dialog.Load();
  RecordingPictureBox& box = p.fakes.windows.options_windows.back()->box;
  box.pictures["pic0"] = {1920, 1080};
  s.CurrentSettings.UpscaleMode = 0;
  s.MonitorCount = 0;
  s.Sleeping = true;
  s.ScanDone = true;
  tmrImmagine_Timer(s);
  ASSERT_EQ(Calls(box, "AddString(#2,").size(), 1u);
  EXPECT_EQ(Calls(box, "AddString(#2,")[0].rfind("AddString(#2,No files found :(,", 0), 0u);
  box.log.clear();
  SetPictures(1);
  tmrImmagine_Timer(s);
  EXPECT_EQ(Calls(box, "DrawImageRect("), std::vector<std::string>{"DrawImageRect(pic0,864,486,192,108)"});
  EXPECT_EQ(Calls(box, "AddString(#2,")[0].rfind("AddString(#2,pic0,", 0), 0u);  // the caption, not a credit
  EXPECT_EQ(box.refreshes, 2);
}

TEST_F(SlideTimerTest, PreviewCreditText) { EXPECT_EQ(PreviewCredit(s), "Glimmora\r\nby Glimmora Labs"); }

}  // namespace
