// The option controls, the Info panel with its live preview, colours and link.
#include <functional>

#include "options_fixture.h"
#include "saver/debug_keys.h"

namespace {

class OptionsControlsTest : public OptionsTest {
 protected:
  void OpenWithPanel() {
    Open().cmdMore_Click();
    engine->calls.clear();
    engine->timer_running = true;
  }
};

// In order on one dialog: each change writes its field; the preview restarts
// only while it shows, and only when a value really changes.
TEST_F(OptionsControlsTest, EachControlWritesItsFieldAndRefreshesThePreviewOnlyWhileShown) {
  const SaverSettings& c = s.CurrentSettings;
  const Lines kScan = {"StartCatalogue", "StartSlideTimer"}, kTimer = {"StartSlideTimer"};
  struct Case {
    std::function<void(OptionsDialog&)> change;
    std::function<bool()> stored;
    Lines calls;
  };
  const std::vector<Case> cases = {
      {[](auto& d) { d.cmbInterval_Click(55); }, [&] { return c.Interval == 60000; }, kTimer},
      {[](auto& d) { d.cmbInterval_Click(99); }, [&] { return c.Interval == 60000; }, {}},  // no such item
      {[](auto& d) { d.chkRandom_Click(false); }, [&] { return !c.Random; }, kScan},
      {[](auto& d) { d.cmbCheckSize_Click(4); }, [&] { return c.CheckImageSize == 4; }, kScan},
      {[](auto& d) { d.cmbAspectRatio_Click(1); }, [&] { return c.CheckAspectRatio == 1; }, kScan},
      {[](auto& d) { d.cmbUpscaleMode_Click(2); }, [&] { return c.UpscaleMode == 2; }, kTimer},
      {[](auto& d) { d.cmbUpscaleMode_Click(2); }, [&] { return c.UpscaleMode == 2; }, {}},  // the same again
      {[](auto& d) { d.chkResolution_Click(true); }, [&] { return c.ShowFileResolution; }, kTimer},
      {[](auto& d) { d.cmbFileName_Click(1); }, [&] { return c.ShowFilename == 1 && c.ShowFileResolution; }, kTimer},
      {[](auto& d) { d.cmbFileName_Click(0); }, [&] { return c.ShowFilename == 0 && !c.ShowFileResolution; },
       {"StartSlideTimer", "StartSlideTimer"}},
      {[](auto& d) { d.chkResolution_Click(true); }, [&] { return !c.ShowFileResolution; }, {}},  // locked
      {[](auto& d) { d.chkRecursive_Click(true); }, [&] { return c.Recursive; }, {"StartCatalogue"}},
      {[](auto& d) { d.cmdColor_Click(1); }, [&] { return c.ShowFilenameColorBorder == 0xFF; }, kTimer},
      {[](auto& d) { d.cmdColor_Click(0); }, [&] { return c.ShowFilenameColorText == 0xFFFFFF; }, {}},  // cancelled
  };
  for (bool shown : {true, false}) {
    s.CurrentSettings = MakeDefaultSettings();
    s.CurrentSettings.Recursive = false;
    shown ? OpenWithPanel() : (void)Open();
    f.dialogs.colors = {0x7F0000FF};  // the high byte is no colour
    for (std::size_t i = 0; i < cases.size(); ++i) {
      engine->calls.clear();
      cases[i].change(*dialog);
      EXPECT_TRUE(cases[i].stored()) << "case " << i;
      EXPECT_EQ(engine->calls, shown ? cases[i].calls : Lines{}) << "case " << i;
    }
  }
  EXPECT_EQ(Ctl(C::shpDemo1).color, 0xFF);
  using Asked = std::pair<std::int32_t, std::int32_t>;  // initial colour, custom colour 0 (kept by the dialog)
  EXPECT_EQ(f.dialogs.colors_asked[0], (Asked{0x000000, 0}));
  EXPECT_EQ(f.dialogs.colors_asked[1], (Asked{0xFFFFFF, 0x7F0000FF}));
}

TEST_F(OptionsControlsTest, InfoPanelWidensTheWindowStartsThePreviewAndOpensTheLink) {
  Open().lblLink_DblClick();  // ignored while the panel is hidden
  dialog->cmdMore_Click();
  dialog->OnDoubleClick(C::lblLink);
  EXPECT_EQ(f.dialogs.links, Lines{s.AboutLinkTarget});
  EXPECT_TRUE(f.system.boxes.empty()) << "a link that fails to open is not reported";
  EXPECT_TRUE(dialog->fraFrameVisible(2));
  EXPECT_EQ(window->client_width, 4980 + 4755 + 120);
  dialog->cmdMore_Click();
  EXPECT_FALSE(dialog->fraFrameVisible(2));
  EXPECT_EQ(Ctl(C::cmdMore).text, ">>>");
  EXPECT_EQ(window->client_width, 4980);
  EXPECT_EQ(engine->calls, (Lines{"StartCatalogue", "StopCatalogue"}));
}

// Keys in order on one preview showing a.jpg of three: the show's calls and
// the debug sequence's state after each.
TEST_F(OptionsControlsTest, PreviewKeysStepAndToggleTheOverlayButEndNothing) {
  OpenWithPanel();
  s.PictureList = {"a.jpg", "b.jpg", "c.jpg"};
  s.PictureCount = 3;
  s.CurrentIndex = 0;
  const int kArm = kDebugArmKey, kToggle = kDebugToggleKey;
  const std::tuple<int, bool, const char*> steps[] = {  // key, show running, effect
      {37, true, "TimerOff NextPicture Render c.jpg TimerOn"},  // back, with wrap
      {38, true, "TimerOff NextPicture Render b.jpg TimerOn"},
      {8, true, "TimerOff NextPicture Render a.jpg TimerOn"},
      {13, true, "Tick"},   {39, true, "Tick"},       {40, true, "Tick"},   {37, false, ""},  {39, false, ""},
      {kToggle, true, ""},  {kArm, true, "armed"},    {kArm, true, "armed"}, {kToggle, true, "debug"},
      {kArm, true, "armed debug"}, {'A', true, "debug"}, {kToggle, true, "debug"}, {kArm, true, "armed debug"},
      {39, true, "Tick debug"},  // navigation disarms too
  };
  for (const auto& [key, running, effect] : steps) {
    engine->calls.clear();
    engine->timer_running = running;
    dialog->picSaver_KeyDown(key, 0);
    std::string got = s.CommandKeyArmed ? " armed" : "";
    for (const std::string& call : engine->calls) got += " " + call;
    EXPECT_EQ(got + (s.DebugMode ? " debug" : ""), effect[0] ? " " + std::string(effect) : "") << key;
  }
  EXPECT_EQ(window->box.refreshes, 3);
  EXPECT_TRUE(f.system.calls.empty()) << "nothing ended";
  s.PictureCount = 0;  // no pictures: a message once the scan is done
  for (bool done : {false, true}) {
    s.ScanDone = done;
    engine->calls.clear();
    dialog->picSaver_KeyDown(37, 0);
    EXPECT_EQ(engine->calls.at(1), done ? "Render No files found :(" : "Render ");
  }
}

}  // namespace
