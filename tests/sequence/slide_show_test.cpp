#include "sequence/slide_show.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_services.h"

namespace {

using Lines = std::vector<std::string>;

// The show with the timers running and `screens` recording picture boxes (none:
// the dialog preview is the target).
struct Rig : FakeShow {
  explicit Rig(int screens, int pictures = 0, bool scan_done = false) {
    SetPictures(pictures, scan_done);
    timers.Start();
    boxes.resize(screens);
    std::vector<PictureBox*> targets;
    for (RecordingPictureBox& box : boxes) targets.push_back(&box);
    show.SetScreens(targets);
  }
  Timer& Slide() { return timers.SlideTimer(); }
  std::vector<RecordingPictureBox> boxes;
};

// The calls of a box's frames that start with prefix.
std::vector<std::string> Calls(const RecordingPictureBox& box, const std::string& prefix) {
  std::vector<std::string> out;
  std::copy_if(box.log.begin(), box.log.end(), std::back_inserter(out),
               [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
  return out;
}

TEST(SlideShowTest, StartIntervalGivesWayOnceThereIsSomethingToShowOrTheScanIsDone) {
  for (auto [pictures, scan_done] : {std::pair{0, false}, {0, true}, {1, false}}) {
    Rig r(1, pictures, scan_done);
    r.Slide().SetEnabled(true);
    r.show.OnSlideTimer();
    EXPECT_EQ(r.Slide().Interval(), pictures || scan_done ? 15000u : 50u) << pictures << scan_done;
    EXPECT_TRUE(r.Slide().Enabled());
  }
}

// Asleep, after the timers stop, or a dialog preview without its dialog:
// no picture is taken and the timer keeps running.
TEST(SlideShowTest, TicksThatDrawNothing) {
  for (int which = 0; which < 3; ++which) {
    Rig r(which < 2 ? 1 : 0, 2);
    r.Slide().SetEnabled(true);
    if (which == 0) r.show.Flags().asleep = true;
    if (which == 1) r.timers.Stop();
    r.show.OnSlideTimer();
    EXPECT_EQ(r.order.CurrentIndex(), -1) << which;
    if (which < 2) {
      EXPECT_EQ(r.boxes[0].refreshes, 0) << which;
    }
    if (which != 1) {
      EXPECT_TRUE(r.Slide().Enabled()) << which;
    }
  }
}

// The options dialog's preview draws into the dialog's box, asleep or not:
// the picture at a tenth, or the message. (What a tick draws on the saver's
// screens and in the system preview: the saver screen's navigation test.)
TEST(SlideShowTest, TheDialogPreviewDrawsIntoTheDialogsBox) {
  struct Preview : DialogPreview {
    bool PreviewShown() const override { return true; }
    PictureBox* PreviewBox() override { return &box; }
    RecordingPictureBox box;
  } preview;
  const std::string pic = FakeShow::Picture(0);
  for (int pictures : {0, 1}) {
    Rig r(0, pictures, true);
    r.settings.scale_mode = ScaleMode::CenterSmall;
    r.fakes.preparer.pictures[pic] = {1920, 1080};
    preview.box = {};
    r.show.SetDialogPreview(&preview);
    r.show.Flags().asleep = true;
    r.show.StartInDialogPreview();
    r.fakes.loop.RunPosted();
    const std::vector<std::string> text = Calls(preview.box, "AddString(#2,"),
                                   image = Calls(preview.box, "DrawPicture(");
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].rfind("AddString(#2," + (pictures ? pic : "No files found :(") + ",style", 0), 0u) << text[0];
    EXPECT_EQ(image, pictures ? Lines{"DrawPicture(" + pic + ",864,486,192,108)"} : Lines{});
    EXPECT_EQ(preview.box.refreshes, 1);
  }
}

// Keys pressed faster than pictures are prepared: the pictures of slides
// stepped past before their turn came are skipped, so the one the screen
// waits for comes next. A skipped picture asked for again (the back key) is
// prepared after all, even while its skip is still on the way back.
TEST(SlideShowTest, SlidesSteppedPastAreNotPrepared) {
  Rig r(1, 8, true);
  std::vector<std::string>& prepared = r.fakes.preparer.prepared;
  auto shows = [&r](int picture) {
    return Calls(r.boxes[0], "DrawPicture(").back().rfind("DrawPicture(" + FakeShow::Picture(picture), 0) == 0;
  };
  auto pictures = [](std::initializer_list<int> numbers) {
    std::vector<std::string> out;
    for (int n : numbers) out.push_back(FakeShow::Picture(n));
    return out;
  };
  r.show.OnSlideTimer();
  r.fakes.loop.RunPosted();
  prepared.clear();
  r.fakes.picture_queue.hold = true;
  for (int i = 0; i < 4; ++i) r.show.OnSlideTimer();  // 1 (ready), then 2, 3 and 4 wait in turn
  r.fakes.picture_queue.Release();
  r.fakes.loop.RunPosted();
  EXPECT_EQ(prepared, pictures({4, 5}));
  EXPECT_TRUE(shows(4));

  prepared.clear();
  r.fakes.picture_queue.hold = true;
  for (int i = 0; i < 3; ++i) r.show.OnSlideTimer();  // 5 (ready), then 6 and 7 wait in turn
  r.fakes.picture_queue.Release();                    // 6 skipped, 7 prepared
  r.show.ShowPreviousSlide();                         // back to 6 before the skip is back
  r.fakes.loop.RunPosted();
  EXPECT_EQ(prepared, pictures({7, 6}));
  EXPECT_TRUE(shows(6));
}

// A decode under way that nobody waits for any more (the show went back) is
// abandoned and not kept: its slide prepares it again.
TEST(SlideShowTest, ADecodeNobodyWaitsForIsAbandonedAndNotKept) {
  Rig r(1, 8, true);
  r.show.OnSlideTimer();  // shows picture 0, prepares picture 1
  r.fakes.loop.RunPosted();
  r.fakes.preparer.prepared.clear();
  r.fakes.picture_queue.hold = true;
  r.show.OnSlideTimer();  // shows picture 1, prepares picture 2
  r.fakes.preparer.while_decoding = [&r] {
    r.fakes.preparer.while_decoding = nullptr;
    r.show.ShowPreviousSlide();  // picture 0 again, from the cache
  };
  r.fakes.picture_queue.Release();
  r.fakes.loop.RunPosted();
  EXPECT_EQ(r.fakes.preparer.prepared, (std::vector<std::string>{FakeShow::Picture(2)}));
  EXPECT_EQ(r.fakes.preparer.abandoned, (std::vector<bool>{false, false, true}));
  EXPECT_EQ(Calls(r.boxes[0], "DrawPicture(").back().rfind("DrawPicture(" + FakeShow::Picture(0), 0), 0u);
  r.fakes.preparer.prepared.clear();
  r.show.OnSlideTimer();  // picture 1 (kept) on screen; picture 2 was not kept, so it is prepared again
  r.fakes.loop.RunPosted();
  EXPECT_EQ(r.fakes.preparer.prepared, (std::vector<std::string>{FakeShow::Picture(2)}));
  EXPECT_EQ(Calls(r.boxes[0], "DrawPicture(").back().rfind("DrawPicture(" + FakeShow::Picture(1), 0), 0u);
}

// A picture that comes while the monitors sleep is not drawn: the last frame stays.
TEST(SlideShowTest, APictureThatComesAsleepIsNotDrawn) {
  Rig r(1, 1, true);
  r.fakes.picture_queue.hold = true;
  r.show.OnSlideTimer();
  r.show.Flags().asleep = true;
  r.fakes.picture_queue.Release();
  r.fakes.loop.RunPosted();
  EXPECT_EQ(r.boxes[0].refreshes, 0);
}

// What a screen waits for is prepared before what is prepared ahead.
TEST(SlideShowTest, WhatAScreenWaitsForGoesFirst) {
  Rig r(1, 8, true);
  r.show.OnSlideTimer();
  r.fakes.loop.RunPosted();
  r.fakes.preparer.prepared.clear();
  r.fakes.picture_queue.hold = true;
  r.show.OnSlideTimer();  // picture 1 (ready) shows, 2 is to be prepared ahead
  r.show.Show(&r.boxes[0], FakeShow::Picture(5), "", false);
  r.fakes.picture_queue.Release();
  EXPECT_EQ(r.fakes.preparer.prepared, (std::vector<std::string>{FakeShow::Picture(5), FakeShow::Picture(2)}));
}

// In random order the next picture depends on the list's length: as the
// walk lists more, what is prepared ahead follows.
TEST(SlideShowTest, WhatIsPreparedAheadFollowsTheGrowingList) {
  Rig r(1);
  r.settings.random_order = true;
  r.order.Seed();
  for (int i = 0; i < 40; ++i) r.fakes.files.Make(FakeShow::Picture(i));
  r.catalogue.Seed();
  r.catalogue.BeginWalk();
  r.WalkUntil(30);
  r.show.OnSlideTimer();
  r.fakes.loop.RunPosted();  // the first picture, and the walk's last ten
  ASSERT_EQ(r.catalogue.PictureCount(), 40);
  r.fakes.picture_queue.hold = true;
  r.show.OnSlideTimer();
  EXPECT_EQ(r.boxes[0].refreshes, 2) << "the next picture was not ready";
}

// A file changed on disk since its picture was prepared is prepared afresh:
// its screen soon shows what the file holds now.
TEST(SlideShowTest, AChangedFileIsPreparedAfresh) {
  Rig r(1, 1, true);
  const std::string pic = FakeShow::Picture(0);
  r.fakes.preparer.pictures[pic] = {1920, 1080};
  r.show.OnSlideTimer();
  r.fakes.loop.RunPosted();
  r.fakes.preparer.pictures[pic] = {960, 1080};
  r.fakes.preparer.stamps[pic] = {1, 2};
  r.show.OnSlideTimer();
  r.fakes.loop.RunPosted();
  EXPECT_EQ(r.fakes.preparer.prepared, (std::vector<std::string>{pic, pic}));
  EXPECT_EQ(Calls(r.boxes[0], "DrawPicture(").back(), "DrawPicture(" + pic + ",480,0,960,1080)");
}

// Motion shows ever less of the picture, never anything past its place,
// whichever way it drifts: all of it at the start, a tenth less across at
// the end.
TEST(MotionSourceTest, StaysInsideThePlaceAndGrowsByATenth) {
  const RectF shown{25, 10, 150, 80};
  for (int step = 0; step < 16; ++step) {
    const double direction = step * 3.14159265358979 / 8;
    for (double progress : {-1.0, 0.0, 0.5, 1.0, 2.0}) {
      const RectF source = MotionSource(shown, progress, direction);
      const double zoom = 1 + 0.1 * std::clamp(progress, 0.0, 1.0);
      EXPECT_NEAR(source.width, shown.width / zoom, 1e-3) << direction << " " << progress;
      EXPECT_NEAR(source.height, shown.height / zoom, 1e-3);
      EXPECT_GE(source.x, shown.x - 1e-3f);
      EXPECT_GE(source.y, shown.y - 1e-3f);
      EXPECT_LE(source.x + source.width, shown.x + shown.width + 1e-3f);
      EXPECT_LE(source.y + source.height, shown.y + shown.height + 1e-3f);
      if (progress <= 0) {
        EXPECT_EQ(source, shown);
      }
    }
  }
}

}  // namespace

// Pictures on their way to the UI thread are held beside the budget only
// when a screen waits for them: one prepared ahead that the cache drops
// before its message is read is gone (and prepared again if a screen has
// come to wait for it meanwhile).
TEST(PictureSupplyTest, OnlyWhatAScreenWaitsForIsHeldPastTheCache) {
  struct Sized final : PicturePreparer {
    std::unique_ptr<PreparedPicture> Prepare(const PictureRequest&, DecodeBudget&) override {
      auto picture = std::make_unique<PreparedPicture>();
      picture->bytes = 10;
      return picture;
    }
  } preparer;
  const auto a = PictureRequest{"a", 10, 10}, b = PictureRequest{"b", 10, 10};
  struct Case {
    bool a_waited, a_then_waited;
    std::vector<std::string> ready;
  };
  for (const Case& c : {Case{false, false, {"b"}}, Case{true, false, {"a", "b"}}, Case{false, true, {"a"}}}) {
    FakeShow rig;
    PictureSupply supply({preparer, rig.fakes.picture_queue, rig.fakes.loop, rig.graphics}, 10);
    std::vector<std::string> ready;
    supply.OnReady([&](const PictureRequest& request, const auto&) { ready.push_back(request.path); });
    supply.Request(a, c.a_waited);
    if (c.a_then_waited) supply.Request(a, true);
    supply.Request(b, false);  // the cache, room for one, drops a
    rig.fakes.loop.RunPosted();
    rig.fakes.loop.RunPosted();
    EXPECT_EQ(ready, c.ready) << c.a_waited << c.a_then_waited;
  }
}
