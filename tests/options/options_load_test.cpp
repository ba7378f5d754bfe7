// Loading the options dialog from CurrentSettings.
#include "options_fixture.h"

namespace {

TEST(OptionsLoad, IntervalSelectsItsItemOnlyForWholeSecondsInRange) {
  for (auto [interval, selected] : {std::pair{5000, 0}, {60000, 55}, {4000, -1}, {15500, -1}, {61000, -1}}) {
    OptionsHarness t;
    t.s.CurrentSettings.Interval = static_cast<std::uint16_t>(interval);
    t.Open();
    EXPECT_EQ(t.Ctl(C::cmbInterval).selected, selected) << interval;
    EXPECT_EQ(t.s.CurrentSettings.Interval, interval) << "loading never changes the interval";
    EXPECT_EQ(t.Items(C::cmbInterval).size(), 56u);
    EXPECT_EQ(t.Items(C::cmbInterval)[10], "15 seconds");
  }
}

// Checking chkRecursive at load raises its handler, which removes nested includes.
TEST(OptionsLoad, ListsAreSplitAsStoredAndSubfoldersDecideNestingAndTheExcludeControls) {
  for (bool recursive : {true, false}) {
    OptionsHarness t;
    t.s.CurrentSettings.Recursive = recursive;
    t.s.CurrentSettings.ImageDirectory = "C:\\A\\B\\\r\nC:\\A\\\r\nphotos\r\n\r\n";
    t.s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\";
    t.Open();
    const Lines nested = {"C:\\A\\B\\", "C:\\A\\", "photos", "", ""};
    EXPECT_EQ(t.Items(C::lstDirectory), recursive ? Lines(nested.begin() + 1, nested.end()) : nested);
    EXPECT_EQ(t.s.CurrentSettings.ImageDirectory,
              recursive ? "C:\\A\\\r\nphotos\r\n\r\n\r\n" : "C:\\A\\B\\\r\nC:\\A\\\r\nphotos\r\n\r\n");
    EXPECT_EQ(t.Items(C::lstExclude), Lines{"C:\\A\\X\\"});
    for (C id : {C::lstExclude, C::cmdAddExclude0, C::cmdAddExclude1, C::cmdDelExclude}) {
      EXPECT_EQ(t.Enabled(id), recursive) << InfoOf(id).name;
    }
    EXPECT_EQ(t.Ctl(C::lstDirectory).selected, recursive ? -1 : 0);  // the selected line was removed
    EXPECT_TRUE(t.Enabled(C::cmdDel));
    EXPECT_FALSE(t.Enabled(C::cmdMove0));
  }
}

// The resolution is checked and enabled only beside a caption; the grace period
// shows as a number, or 5.
TEST(OptionsLoad, ResolutionAndGracePeriod) {
  const struct {
    std::int16_t show_filename;
    bool resolution, checked, enabled;
    std::optional<std::string> grace;
    const char* shown;
  } cases[] = {
      {0, true, false, false, std::nullopt, "5"}, {2, true, true, true, "abc", "5"}, {1, false, false, true, "", "5"},
      {1, true, true, true, " 010 ", "10"},       {1, true, true, true, "2.50", "2.5"}, {1, true, true, true, "1e999", "5"},
  };
  for (const auto& c : cases) {
    OptionsHarness t;
    t.s.CurrentSettings.ShowFilename = c.show_filename;
    t.s.CurrentSettings.ShowFileResolution = c.resolution;
    t.grace = c.grace;
    t.Open();
    EXPECT_EQ(t.Ctl(C::chkResolution).checked, c.checked) << c.show_filename;
    EXPECT_EQ(t.Enabled(C::chkResolution), c.enabled) << c.show_filename;
    EXPECT_EQ(t.s.CurrentSettings.ShowFileResolution, c.checked) << c.show_filename;
    EXPECT_EQ(t.Ctl(C::txtGrace).text, c.shown) << c.grace.value_or("unreadable");
  }
}

// The handlers the load raises write the same values back and start no preview.
TEST_F(OptionsTest, ChoicesColoursAndTextsAreShownWithoutChangingTheSettings) {
  SaverSettings& c = s.CurrentSettings;
  c.CheckImageSize = 12;
  c.CheckAspectRatio = 2;
  c.UpscaleMode = 3;
  c.ShowFilenameColorText = 0x123456;
  const SaverSettings before = c;
  Open();
  const std::vector<int> shown = {Ctl(C::cmbCheckSize).selected, Ctl(C::cmbAspectRatio).selected,
                                  Ctl(C::cmbUpscaleMode).selected, Ctl(C::cmbFileName).selected,
                                  Ctl(C::chkRandom).checked, Ctl(C::shpDemo0).color};
  EXPECT_EQ(shown, (std::vector<int>{12, 2, 3, 2, 1, 0x123456}));
  EXPECT_EQ(s.CurrentSettings, before);
  EXPECT_TRUE(engine->calls.empty()) << "the preview stays off while the Info panel is hidden";
  EXPECT_EQ(window->caption, s.ProgramTitle);
  EXPECT_EQ(Ctl(C::lblInfo1).text, "Version: 0.9.42");
  EXPECT_EQ(Ctl(C::lblLink).text, s.AboutLinkTarget);
}

}  // namespace
