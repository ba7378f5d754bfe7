// The option controls, the Info panel with its live preview, colours and link.
#include <functional>

#include "options_fixture.h"
#include "saver/debug_keys.h"

namespace {

using C = ControlId;

class OptionsControlsTest : public OptionsTest {
 protected:
  void OpenWithPanel() {
    Open();
    dialog->cmdMore_Click();
    engine->calls.clear();
  }
  void Pictures(std::initializer_list<const char*> paths) {
    s.PictureList.assign(paths.begin(), paths.end());
    s.PictureList.resize(101);
    s.PictureCount = static_cast<int>(paths.size());
  }
};

TEST_F(OptionsControlsTest, EachControlWritesItsFieldAndRefreshesThePreview) {
  OpenWithPanel();
  struct Case {
    std::function<void()> change;
    std::function<bool()> stored;
    Lines calls;
  };
  const SaverSettings& c = s.CurrentSettings;
  std::vector<Case> cases = {
      {[&] { dialog->cmbInterval_Click(55); }, [&] { return c.Interval == 60000; }, {"StartSlideTimer"}},
      {[&] { dialog->cmbInterval_Click(0); }, [&] { return c.Interval == 5000; }, {"StartSlideTimer"}},
      {[&] { dialog->chkRandom_Click(false); }, [&] { return !c.Random; }, {"StartCatalogue", "StartSlideTimer"}},
      {[&] { dialog->cmbCheckSize_Click(4); }, [&] { return c.CheckImageSize == 4; },
       {"StartCatalogue", "StartSlideTimer"}},
      {[&] { dialog->cmbAspectRatio_Click(1); }, [&] { return c.CheckAspectRatio == 1; },
       {"StartCatalogue", "StartSlideTimer"}},
      {[&] { dialog->cmbUpscaleMode_Click(2); }, [&] { return c.UpscaleMode == 2; }, {"StartSlideTimer"}},
      {[&] { dialog->chkResolution_Click(true); }, [&] { return c.ShowFileResolution; }, {"StartSlideTimer"}},
      {[&] { dialog->chkRecursive_Click(true); }, [&] { return c.Recursive; }, {"StartCatalogue"}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    engine->calls.clear();
    cases[i].change();
    EXPECT_TRUE(cases[i].stored()) << "case " << i;
    EXPECT_EQ(engine->calls, cases[i].calls) << "case " << i;
  }
  engine->calls.clear();
  dialog->cmbUpscaleMode_Click(2);  // the same item again: nothing changes
  dialog->cmbInterval_Click(99);    // no such item
  EXPECT_TRUE(engine->calls.empty());
  EXPECT_EQ(c.Interval, 5000);
}

TEST_F(OptionsControlsTest, WithThePanelHiddenOptionsChangeButNoScanStarts) {
  Open();
  dialog->cmbInterval_Click(55);
  dialog->chkRandom_Click(false);
  dialog->cmbCheckSize_Click(3);
  EXPECT_EQ(s.CurrentSettings.Interval, 60000);
  EXPECT_EQ(s.CurrentSettings.CheckImageSize, 3);
  EXPECT_TRUE(engine->calls.empty());
}

TEST_F(OptionsControlsTest, CaptionNoClearsAndLocksTheResolution) {
  s.CurrentSettings.ShowFilename = 1;
  s.CurrentSettings.ShowFileResolution = true;
  Open();
  dialog->cmbFileName_Click(0);
  EXPECT_FALSE(Ctl(C::chkResolution).checked);
  EXPECT_FALSE(Enabled(C::chkResolution));
  EXPECT_FALSE(s.CurrentSettings.ShowFileResolution);
  EXPECT_EQ(s.CurrentSettings.ShowFilename, 0);
  dialog->chkResolution_Click(true);  // locked: ignored
  EXPECT_FALSE(s.CurrentSettings.ShowFileResolution);
  dialog->cmbFileName_Click(1);
  EXPECT_TRUE(Enabled(C::chkResolution));
  EXPECT_FALSE(Ctl(C::chkResolution).checked);
}

TEST_F(OptionsControlsTest, ClearingSubfoldersLocksButKeepsTheExclusions) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\";
  Open();
  dialog->chkRecursive_Click(false);
  for (C id : {C::lstExclude, C::cmdAddExclude0, C::cmdAddExclude1, C::cmdDelExclude}) EXPECT_FALSE(Enabled(id));
  EXPECT_EQ(Items(C::lstExclude), Lines{"C:\\A\\X\\"});
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "C:\\A\\X\\");
  f.dialogs.typed.push_back("C:\\A\\Y");
  dialog->cmdAddExclude_Click(1);
  EXPECT_TRUE(f.dialogs.inputs.empty()) << "a locked button asks nothing";
}

TEST_F(OptionsControlsTest, ColoursArePickedWithKeptCustomColoursAndCancelChangesNothing) {
  s.CurrentSettings.ShowFilenameColorText = 0x00FFFFFF;
  s.CurrentSettings.ShowFilenameColorBorder = 0x00000000;
  OpenWithPanel();
  f.dialogs.define_custom = 0x00336699;
  f.dialogs.colors = {0x000000FF};
  dialog->cmdColor_Click(1);
  EXPECT_EQ(Ctl(C::shpDemo1).color, 0x0000FF);
  EXPECT_EQ(s.CurrentSettings.ShowFilenameColorBorder, 0x0000FF);
  EXPECT_EQ(s.CurrentSettings.ShowFilenameColorText, 0xFFFFFF);
  EXPECT_EQ(engine->calls, Lines{"StartSlideTimer"});
  dialog->cmdColor_Click(0);  // cancelled
  EXPECT_EQ(Ctl(C::shpDemo0).color, 0xFFFFFF);
  EXPECT_EQ(s.CurrentSettings.ShowFilenameColorText, 0xFFFFFF);
  EXPECT_EQ(engine->calls.size(), 1u);
  ASSERT_EQ(f.dialogs.colors_asked.size(), 2u);
  EXPECT_EQ(f.dialogs.colors_asked[0].initial, 0x000000);
  EXPECT_EQ(f.dialogs.colors_asked[0].custom[0], 0) << "custom colours start black";
  EXPECT_EQ(f.dialogs.colors_asked[1].initial, 0xFFFFFF);
  EXPECT_EQ(f.dialogs.colors_asked[1].custom[0], 0x336699) << "kept from the previous call";
  EXPECT_EQ(f.dialogs.colors_asked[1].owner, window->Handle());
}

TEST_F(OptionsControlsTest, InfoPanelWidensStartsAndNarrowsStops) {
  Open();
  dialog->cmdMore_Click();
  EXPECT_TRUE(dialog->fraFrameVisible(2));
  EXPECT_EQ(Ctl(C::cmdMore).text, "<<<");
  EXPECT_EQ(window->client_width, 4980 + 4755 + 120);
  EXPECT_EQ(engine->calls, Lines{"StartCatalogue"});
  dialog->cmdMore_Click();
  EXPECT_FALSE(dialog->fraFrameVisible(2));
  EXPECT_EQ(Ctl(C::cmdMore).text, ">>>");
  EXPECT_EQ(window->client_width, 4980);
  EXPECT_EQ(dialog->ClientWidthTwips(), 4980);
  EXPECT_EQ(engine->calls, (Lines{"StartCatalogue", "StopCatalogue"}));
}

TEST_F(OptionsControlsTest, ForwardKeysTickOnlyWhileTheShowRuns) {
  OpenWithPanel();
  for (int key : {13, 39, 40}) dialog->picSaver_KeyDown(key, 0);
  EXPECT_TRUE(engine->calls.empty());
  engine->timer_running = true;
  s.CommandKeyArmed = true;
  dialog->picSaver_KeyDown(39, 0);
  EXPECT_EQ(engine->calls, Lines{"Tick"});
  EXPECT_FALSE(s.CommandKeyArmed);
}

TEST_F(OptionsControlsTest, BackKeyStepsOneBackWithWrap) {
  OpenWithPanel();
  Pictures({"a.jpg", "b.jpg", "c.jpg"});
  engine->timer_running = true;
  s.CurrentIndex = 0;  // the first picture is shown
  dialog->picSaver_KeyDown(37, 0);
  ASSERT_EQ(engine->renders.size(), 1u);
  EXPECT_EQ(engine->renders[0].path, "c.jpg");
  EXPECT_EQ(engine->renders[0].message, "");
  EXPECT_TRUE(engine->renders[0].flag);
  EXPECT_EQ(s.CurrentIndex, 2);
  EXPECT_EQ(engine->calls, (Lines{"TimerOff", "NextPicture", "Render", "TimerOn"}));
  EXPECT_EQ(window->box.refreshes, 1);
  dialog->picSaver_KeyDown(38, 0);
  EXPECT_EQ(engine->renders.back().path, "b.jpg");
  dialog->picSaver_KeyDown(8, 0);
  EXPECT_EQ(engine->renders.back().path, "a.jpg");
}

TEST_F(OptionsControlsTest, BackKeyWithoutPicturesShowsTheMessageOnlyWhenTheScanIsDone) {
  OpenWithPanel();
  engine->timer_running = true;
  s.PictureCount = 0;
  s.ScanDone = false;
  dialog->picSaver_KeyDown(37, 0);
  s.ScanDone = true;
  dialog->picSaver_KeyDown(37, 0);
  ASSERT_EQ(engine->renders.size(), 2u);
  EXPECT_EQ(engine->renders[0].message, "");
  EXPECT_EQ(engine->renders[1].message, "No files found :(");
  for (const auto& r : engine->renders) {
    EXPECT_EQ(r.path, "");
    EXPECT_FALSE(r.flag);
  }
  EXPECT_TRUE(engine->timer_running);
  engine->timer_running = false;
  engine->calls.clear();
  dialog->picSaver_KeyDown(37, 0);
  EXPECT_TRUE(engine->calls.empty()) << "a stopped show does not step";
}

TEST_F(OptionsControlsTest, DebugSequenceTogglesTheOverlayAndNeverEndsAnything) {
  OpenWithPanel();
  struct Step {
    int key;
    bool armed, debug;
  };
  const std::vector<Step> steps = {
      {kDebugToggleKey, false, false},  // unarmed: only disarms
      {kDebugArmKey, true, false},     {kDebugArmKey, true, false},  // twice: still armed
      {kDebugToggleKey, false, true},  {kDebugArmKey, true, true},
      {'A', false, true},              {kDebugToggleKey, false, true},  // another key in between
      {kDebugArmKey, true, true},      {37, false, true},                // navigation disarms too
      {kDebugArmKey, true, true},      {kDebugToggleKey, false, false},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    dialog->picSaver_KeyDown(steps[i].key, 0);
    EXPECT_EQ(s.CommandKeyArmed, steps[i].armed) << "step " << i;
    EXPECT_EQ(s.DebugMode, steps[i].debug) << "step " << i;
  }
  EXPECT_TRUE(f.system.calls.empty()) << "nothing ended";
  EXPECT_NE(kDebugArmKey, kDebugToggleKey);
}

TEST_F(OptionsControlsTest, LinkOpensTheAboutTargetOnlyWhileThePanelShows) {
  Open();
  dialog->lblLink_DblClick();
  EXPECT_TRUE(f.dialogs.links.empty());
  dialog->cmdMore_Click();
  f.dialogs.open_ok = false;  // a failure is not reported
  dialog->OnDoubleClick(C::lblLink);
  EXPECT_EQ(f.dialogs.links, Lines{s.AboutLinkTarget});
  EXPECT_TRUE(f.system.boxes.empty());
}

}  // namespace
