// Loading the options dialog from the settings.
#include "options_fixture.h"

namespace {

TEST(OptionsLoad, IntervalSelectsItsItemOnlyForWholeSecondsInRange) {
  for (auto [interval, selected] : {std::pair{5000, 0}, {60000, 55}, {4000, -1}, {15500, -1}, {61000, -1}}) {
    OptionsHarness t;
    t.settings.interval_ms = static_cast<std::uint16_t>(interval);
    t.Open();
    EXPECT_EQ(t.Ctl(C::IntervalCombo).selected, selected) << interval;
    EXPECT_EQ(t.settings.interval_ms, interval) << "loading never changes the interval";
    EXPECT_EQ(t.Items(C::IntervalCombo).size(), 56u);
    EXPECT_EQ(t.Items(C::IntervalCombo)[10], "15 seconds");
  }
}

// Checking SubfoldersCheck at load raises its handler, which removes nested includes.
TEST(OptionsLoad, ListsAreSplitAsStoredAndSubfoldersDecideNestingAndTheExcludeControls) {
  for (bool recursive : {true, false}) {
    OptionsHarness t;
    t.settings.include_subfolders = recursive;
    t.settings.include_folders = "C:\\A\\B\\\r\nC:\\A\\\r\nphotos\r\n\r\n";
    t.settings.exclude_folders = "C:\\A\\X\\";
    t.Open();
    const Lines nested = {"C:\\A\\B\\", "C:\\A\\", "photos", "", ""};
    EXPECT_EQ(t.Items(C::IncludeList), recursive ? Lines(nested.begin() + 1, nested.end()) : nested);
    EXPECT_EQ(t.settings.include_folders,
              recursive ? "C:\\A\\\r\nphotos\r\n\r\n\r\n" : "C:\\A\\B\\\r\nC:\\A\\\r\nphotos\r\n\r\n");
    EXPECT_EQ(t.Items(C::ExcludeList), Lines{"C:\\A\\X\\"});
    for (C id : {C::ExcludeList, C::AddExcludeWithPicker, C::AddExcludeByPath, C::RemoveExclude}) {
      EXPECT_EQ(t.Enabled(id), recursive) << IndexOf(id);
    }
    EXPECT_EQ(t.Ctl(C::IncludeList).selected, recursive ? -1 : 0);  // the selected line was removed
    EXPECT_TRUE(t.Enabled(C::RemoveInclude));
    EXPECT_FALSE(t.Enabled(C::MoveIncludeUp));
  }
}

// The resolution is checked and enabled only beside a caption; the grace period
// shows as a number, or 5.
TEST(OptionsLoad, ResolutionAndGracePeriod) {
  const struct { CaptionPosition caption; bool resolution, checked, enabled;
                 std::optional<std::string> grace; const char* shown; } cases[] = {
      {CaptionPosition::Off, true, false, false, std::nullopt, "5"},
      {CaptionPosition::Bottom, true, true, true, "abc", "5"},
      {CaptionPosition::Top, false, false, true, "", "5"},
      {CaptionPosition::Top, true, true, true, " 010 ", "10"},
      {CaptionPosition::Top, true, true, true, "2.50", "2.5"},
      {CaptionPosition::Top, true, true, true, "1e999", "5"},
  };
  for (const auto& c : cases) {
    OptionsHarness t;
    t.settings.caption = c.caption;
    t.settings.caption_shows_size = c.resolution;
    t.grace = c.grace;
    t.Open();
    EXPECT_EQ(t.Ctl(C::ResolutionCheck).checked, c.checked) << int(c.caption);
    EXPECT_EQ(t.Enabled(C::ResolutionCheck), c.enabled) << int(c.caption);
    EXPECT_EQ(t.settings.caption_shows_size, c.checked) << int(c.caption);
    EXPECT_EQ(t.Ctl(C::GraceText).text, c.shown) << c.grace.value_or("unreadable");
  }
}

// The handlers the load raises write the same values back and start no preview.
TEST_F(OptionsTest, ChoicesColoursAndTextsAreShownWithoutChangingTheSettings) {
  SaverSettings& c = settings;
  c.size_filter = SizeFilter::Min2048x1576;
  c.aspect_filter = AspectFilter::Wide;
  c.scale_mode = ScaleMode::Cover;
  c.caption_text_colour = 0x123456;
  c.transition_ms = 700;  // typed in by hand: the nearest item, the time kept
  c.motion = true, c.caption_text = CaptionText::DateAndFolder, c.backdrop = Backdrop::Soft;
  const SaverSettings before = c;
  Open();
  const std::vector<int> shown = {Ctl(C::SizeFilterCombo).selected, Ctl(C::AspectFilterCombo).selected,
                                  Ctl(C::ScaleModeCombo).selected, Ctl(C::CaptionCombo).selected,
                                  Ctl(C::RandomCheck).checked, Ctl(C::TextColourSwatch).color,
                                  Ctl(C::TransitionCombo).selected, Ctl(C::MotionCheck).checked,
                                  Ctl(C::CaptionTextCombo).selected, Ctl(C::BackdropCheck).checked};
  EXPECT_EQ(shown, (std::vector<int>{12, 2, 3, 2, 1, 0x123456, 1, 1, 2, 1}));
  EXPECT_EQ(settings, before);
  EXPECT_TRUE(preview->calls.empty()) << "the preview stays off while the Info panel is hidden";
  EXPECT_EQ(Ctl(C::VersionLabel).text, "Version: 0.9.42");
  EXPECT_EQ(Ctl(C::AboutLink).text, identity.about_link);
}

}  // namespace
