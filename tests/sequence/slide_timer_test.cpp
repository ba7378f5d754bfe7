#include "sequence/slide_timer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_ports.h"
#include "options/options_dialog.h"
#include "saver/saver_form.h"
#include "startup/engine_form.h"

namespace {

// A program with T loaded, pictures "pic0".. in sequential order, and the
// given number of saver windows open.
struct Rig {
  explicit Rig(int windows, int pictures = 0) {
    s.ShortName = "Glimmora";
    s.CreditName = " Glimmora Labs";
    s.CurrentSettings = MakeDefaultSettings();
    s.CurrentSettings.Random = false;
    s.CurrentIndex = -1;
    s.PictureList.assign(101, "");
    for (int i = 0; i < pictures; ++i) s.PictureList[i] = "pic" + std::to_string(i);
    s.PictureCount = pictures;
    Engine(s).Load();
    s.MonitorCount = static_cast<std::int16_t>(windows);
    s.SaverWindows.resize(windows + 1);
    for (int i = 1; i <= windows; ++i) {
      s.SaverWindows[i] = std::make_unique<SaverForm>(s);
      s.SaverWindows[i]->Load();
    }
  }
  RecordingPictureBox& Box(int i) { return p.fakes.windows.saver_windows[i - 1]->box; }
  Timer& Slide() { return s.T->tmrImmagine(); }
  FakeProgram p;
  ProgramState& s = p.state;
};

// The calls of a box's frames that start with prefix.
std::vector<std::string> Calls(const RecordingPictureBox& box, const std::string& prefix) {
  std::vector<std::string> out;
  std::copy_if(box.log.begin(), box.log.end(), std::back_inserter(out),
               [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
  return out;
}

TEST(SlideTimerTest, EachWindowTakesTheNextPictureInWindowOrder) {
  Rig r(2, 3);
  tmrImmagine_Timer(r.s);
  EXPECT_EQ(r.s.CurrentIndex, 1);  // window 1 drew 0, window 2 drew 1
  tmrImmagine_Timer(r.s);
  EXPECT_EQ(r.s.CurrentIndex, 0);  // then 2 and 0
  EXPECT_EQ(r.Box(1).refreshes, 2);
  EXPECT_EQ(r.Box(2).refreshes, 2);
}

TEST(SlideTimerTest, StartIntervalGivesWayOnceThereIsSomethingToShowOrTheScanIsDone) {
  Rig r(1);
  r.Slide().SetEnabled(true);
  tmrImmagine_Timer(r.s);  // empty and scanning: keep polling fast
  EXPECT_EQ(r.Slide().Interval(), 50u);
  r.s.ScanDone = true;
  tmrImmagine_Timer(r.s);
  EXPECT_EQ(r.Slide().Interval(), 15000u);
  r.Slide().SetInterval(50);
  r.s.ScanDone = false;
  r.s.PictureList[0] = "pic0";
  r.s.PictureCount = 1;
  tmrImmagine_Timer(r.s);
  EXPECT_EQ(r.Slide().Interval(), 15000u);
  EXPECT_TRUE(r.Slide().Enabled());
}

// Asleep, after T's unload, or a dialog preview without its dialog: no
// picture is taken and the timer keeps running.
TEST(SlideTimerTest, TicksThatDrawNothing) {
  for (int which = 0; which < 3; ++which) {
    Rig r(which < 2 ? 1 : 0, 2);
    r.Slide().SetEnabled(true);
    if (which == 0) r.s.Sleeping = true;
    if (which == 1) r.s.T->Unload();
    tmrImmagine_Timer(r.s);
    EXPECT_EQ(r.s.CurrentIndex, -1) << which;
    if (which < 2) {
      EXPECT_EQ(r.Box(1).refreshes, 0) << which;
    }
    if (which != 1) {
      EXPECT_TRUE(r.Slide().Enabled()) << which;
    }
  }
}

TEST(SlideTimerTest, TimerTicksThroughTheEventLoop) {
  Rig r(1, 4);
  r.s.CurrentSettings.Interval = 1000;
  r.Slide().SetEnabled(true);
  r.p.fakes.loop.Advance(50);  // first tick at the start interval
  EXPECT_EQ(r.s.CurrentIndex, 0);
  r.p.fakes.loop.Advance(999);
  EXPECT_EQ(r.s.CurrentIndex, 0);
  r.p.fakes.loop.Advance(1);
  EXPECT_EQ(r.s.CurrentIndex, 1);
  StartSlideTimer(r.s);  // acts only with the dialog's Info panel shown
  EXPECT_EQ(r.s.MonitorCount, 1);
}

// What one tick draws into a saver window: the message or caption text and
// where the picture goes (a 1920x1080 picture, scale mode 0, so the system
// preview's one tenth shows in the rectangle).
TEST(SlideTimerTest, WhatATickDrawsInTheSaverAndInTheSystemPreview) {
  const struct {
    bool preview, scanDone;
    int pictures;
    const char* text;   // drawn by the caption layer
    const char* image;  // the DrawImageRect call, "" for none
  } cases[] = {
      {false, false, 0, "", ""},
      {false, true, 0, "No files found :(", ""},
      {true, true, 0, "Glimmora\r\nby Glimmora Labs\r\nNo files found :(", ""},
      {true, false, 0, "", ""},
      {false, false, 1, "pic0", "DrawImageRect(pic0,0,0,1920,1080)"},
      {true, true, 1, "Glimmora\r\nby Glimmora Labs", "DrawImageRect(pic0,864,486,192,108)"},
  };
  for (const auto& c : cases) {
    Rig r(1, c.pictures);
    r.s.CurrentSettings.UpscaleMode = 0;
    r.s.PreviewHost = c.preview ? 4242 : 0;
    r.s.ScanDone = c.scanDone;
    r.s.PictureList[0] = "pic0";
    r.Box(1).pictures["pic0"] = {1920, 1080};
    tmrImmagine_Timer(r.s);
    const std::vector<std::string> text = Calls(r.Box(1), "AddString(#2,");
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].rfind(std::string("AddString(#2,") + c.text + ",style", 0), 0u) << text[0];
    const std::vector<std::string> image = Calls(r.Box(1), "DrawImageRect(");
    EXPECT_EQ(image.empty() ? "" : image[0], c.image) << c.text;
    EXPECT_EQ(r.Box(1).refreshes, 1);
  }
}

// The options dialog's preview: one box, the picture at one tenth, and the
// message once the scan has found nothing; Sleeping does not apply to it.
TEST(SlideTimerTest, DialogPreviewDrawsIntoTheDialogsBox) {
  Rig r(0);
  Options(r.s).Load();
  RecordingPictureBox& box = r.p.fakes.windows.options_windows.back()->box;
  box.pictures["pic0"] = {1920, 1080};
  r.s.CurrentSettings.UpscaleMode = 0;
  r.s.Sleeping = true;
  r.s.ScanDone = true;
  tmrImmagine_Timer(r.s);
  ASSERT_EQ(Calls(box, "AddString(#2,").size(), 1u);
  EXPECT_EQ(Calls(box, "AddString(#2,")[0].rfind("AddString(#2,No files found :(,", 0), 0u);
  box.log.clear();
  r.s.PictureList[0] = "pic0";
  r.s.PictureCount = 1;
  tmrImmagine_Timer(r.s);
  EXPECT_EQ(Calls(box, "DrawImageRect("), std::vector<std::string>{"DrawImageRect(pic0,864,486,192,108)"});
  EXPECT_EQ(Calls(box, "AddString(#2,")[0].rfind("AddString(#2,pic0,", 0), 0u);  // the caption, not a credit
  EXPECT_EQ(box.refreshes, 2);
}

}  // namespace
