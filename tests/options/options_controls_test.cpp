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
    engine->timer_running = true;
  }
};

TEST_F(OptionsControlsTest, EachControlWritesItsFieldAndRefreshesThePreviewOnlyWhileShown) {
  const SaverSettings& c = s.CurrentSettings;
  struct Case {
    std::function<void(OptionsDialog&)> change;
    std::function<bool()> stored;
    Lines calls;
  };
  const std::vector<Case> cases = {
      {[](OptionsDialog& d) { d.cmbInterval_Click(55); }, [&] { return c.Interval == 60000; }, {"StartSlideTimer"}},
      {[](OptionsDialog& d) { d.chkRandom_Click(false); }, [&] { return !c.Random; },
       {"StartCatalogue", "StartSlideTimer"}},
      {[](OptionsDialog& d) { d.cmbCheckSize_Click(4); }, [&] { return c.CheckImageSize == 4; },
       {"StartCatalogue", "StartSlideTimer"}},
      {[](OptionsDialog& d) { d.cmbAspectRatio_Click(1); }, [&] { return c.CheckAspectRatio == 1; },
       {"StartCatalogue", "StartSlideTimer"}},
      {[](OptionsDialog& d) { d.cmbUpscaleMode_Click(2); }, [&] { return c.UpscaleMode == 2; }, {"StartSlideTimer"}},
      {[](OptionsDialog& d) { d.chkResolution_Click(true); }, [&] { return c.ShowFileResolution; },
       {"StartSlideTimer"}},
      {[](OptionsDialog& d) { d.chkRecursive_Click(true); }, [&] { return c.Recursive; }, {"StartCatalogue"}},
  };
  for (bool shown : {true, false}) {
    s.CurrentSettings = MakeDefaultSettings();
    s.CurrentSettings.Recursive = false;
    shown ? OpenWithPanel() : (void)Open();
    for (std::size_t i = 0; i < cases.size(); ++i) {
      engine->calls.clear();
      cases[i].change(*dialog);
      EXPECT_TRUE(cases[i].stored()) << "case " << i;
      EXPECT_EQ(engine->calls, shown ? cases[i].calls : Lines{}) << "case " << i;
    }
  }
  engine->calls.clear();
  dialog->cmbUpscaleMode_Click(2);  // the same item again
  dialog->cmbInterval_Click(99);    // no such item
  EXPECT_TRUE(engine->calls.empty());
  EXPECT_EQ(c.Interval, 60000);
}

TEST_F(OptionsControlsTest, CaptionNoClearsAndLocksTheResolution) {
  s.CurrentSettings.ShowFilename = 1;
  s.CurrentSettings.ShowFileResolution = true;
  Open();
  dialog->cmbFileName_Click(0);
  EXPECT_FALSE(Ctl(C::chkResolution).checked);
  EXPECT_FALSE(Enabled(C::chkResolution));
  EXPECT_FALSE(s.CurrentSettings.ShowFileResolution);
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
  dialog->cmdAddExclude_Click(1);
  EXPECT_TRUE(f.dialogs.inputs.empty()) << "a locked button asks nothing";
}

TEST_F(OptionsControlsTest, ColoursArePickedWithKeptCustomColoursAndCancelChangesNothing) {
  OpenWithPanel();
  f.dialogs.define_custom = 0x00336699;
  f.dialogs.colors = {0x000000FF};
  dialog->cmdColor_Click(1);
  dialog->cmdColor_Click(0);  // cancelled
  EXPECT_EQ(Ctl(C::shpDemo1).color, 0x0000FF);
  EXPECT_EQ(s.CurrentSettings.ShowFilenameColorBorder, 0x0000FF);
  EXPECT_EQ(Ctl(C::shpDemo0).color, 0xFFFFFF);
  EXPECT_EQ(s.CurrentSettings.ShowFilenameColorText, 0xFFFFFF);
  EXPECT_EQ(engine->calls, Lines{"StartSlideTimer"});
  ASSERT_EQ(f.dialogs.colors_asked.size(), 2u);
  EXPECT_EQ(f.dialogs.colors_asked[0].initial, 0x000000);
  EXPECT_EQ(f.dialogs.colors_asked[0].custom[0], 0) << "custom colours start black";
  EXPECT_EQ(f.dialogs.colors_asked[1].initial, 0xFFFFFF);
  EXPECT_EQ(f.dialogs.colors_asked[1].custom[0], 0x336699) << "kept from the previous call";
}

TEST_F(OptionsControlsTest, InfoPanelTwiceRestoresTheWidthAndStopsThePreview) {
  Open();
  dialog->cmdMore_Click();
  EXPECT_TRUE(dialog->fraFrameVisible(2));
  EXPECT_EQ(Ctl(C::cmdMore).text, "<<<");
  EXPECT_EQ(window->client_width, 4980 + 4755 + 120);
  dialog->cmdMore_Click();
  EXPECT_FALSE(dialog->fraFrameVisible(2));
  EXPECT_EQ(Ctl(C::cmdMore).text, ">>>");
  EXPECT_EQ(window->client_width, 4980);
  EXPECT_EQ(engine->calls, (Lines{"StartCatalogue", "StopCatalogue"}));
}

TEST_F(OptionsControlsTest, PreviewKeysStepForwardAndBackWithWrap) {
  OpenWithPanel();
  s.PictureList = {"a.jpg", "b.jpg", "c.jpg"};
  s.PictureCount = 3;
  s.CurrentIndex = 0;  // the first picture is shown
  dialog->picSaver_KeyDown(37, 0);
  EXPECT_EQ(engine->calls, (Lines{"TimerOff", "NextPicture", "Render", "TimerOn"}));
  EXPECT_EQ(window->box.refreshes, 1);
  dialog->picSaver_KeyDown(38, 0);
  dialog->picSaver_KeyDown(8, 0);
  ASSERT_EQ(engine->renders.size(), 3u);
  EXPECT_EQ(engine->renders[0].path, "c.jpg");
  EXPECT_EQ(engine->renders[1].path, "b.jpg");
  EXPECT_EQ(engine->renders[2].path, "a.jpg");
  EXPECT_TRUE(engine->renders[0].flag);
  engine->calls.clear();
  for (int key : {13, 39, 40}) dialog->picSaver_KeyDown(key, 0);
  EXPECT_EQ(engine->calls, (Lines{"Tick", "Tick", "Tick"}));
  engine->timer_running = false;
  engine->calls.clear();
  dialog->picSaver_KeyDown(37, 0);
  dialog->picSaver_KeyDown(39, 0);
  EXPECT_TRUE(engine->calls.empty()) << "a stopped show does not step";
}

TEST_F(OptionsControlsTest, BackKeyWithoutPicturesShowsTheMessageOnlyWhenTheScanIsDone) {
  OpenWithPanel();
  s.PictureCount = 0;
  for (bool done : {false, true}) {
    s.ScanDone = done;
    dialog->picSaver_KeyDown(37, 0);
    EXPECT_EQ(engine->renders.back().message, done ? "No files found :(" : "");
    EXPECT_EQ(engine->renders.back().path, "");
    EXPECT_FALSE(engine->renders.back().flag);
    EXPECT_TRUE(engine->timer_running);
  }
}

TEST_F(OptionsControlsTest, DebugSequenceTogglesTheOverlayAndNeverEndsAnything) {
  OpenWithPanel();
  struct Step {
    int key;
    bool armed, debug;
  };
  const Step steps[] = {
      {kDebugToggleKey, false, false},  // unarmed: only disarms
      {kDebugArmKey, true, false},     {kDebugArmKey, true, false},  // twice: still armed
      {kDebugToggleKey, false, true},  {kDebugArmKey, true, true},
      {'A', false, true},              {kDebugToggleKey, false, true},  // another key in between
      {kDebugArmKey, true, true},      {37, false, true},                // navigation disarms too
  };
  for (const Step& step : steps) {
    dialog->picSaver_KeyDown(step.key, 0);
    EXPECT_EQ(s.CommandKeyArmed, step.armed) << &step - steps;
    EXPECT_EQ(s.DebugMode, step.debug) << &step - steps;
  }
  EXPECT_TRUE(f.system.calls.empty()) << "nothing ended";
}

TEST_F(OptionsControlsTest, LinkOpensTheAboutTargetOnlyWhileThePanelShows) {
  Open();
  dialog->lblLink_DblClick();
  dialog->cmdMore_Click();
  f.dialogs.open_ok = false;  // a failure is not reported
  dialog->OnDoubleClick(C::lblLink);
  EXPECT_EQ(f.dialogs.links, Lines{s.AboutLinkTarget});
  EXPECT_TRUE(f.system.boxes.empty());
}

}  // namespace
