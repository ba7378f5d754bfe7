// Loading the options dialog from CurrentSettings.
#include "options/grace_period.h"
#include "options_fixture.h"

namespace {

using C = ControlId;

class OptionsLoadTest : public OptionsTest {};

TEST_F(OptionsLoadTest, IntervalSelectsItsItemOnlyForWholeSecondsInRange) {
  struct Case {
    std::uint16_t interval;
    int selected;
  };
  for (Case c : {Case{15000, 10}, Case{60000, 55}, Case{5000, 0}, Case{15500, -1}, Case{4000, -1},
                 Case{61000, -1}, Case{500, -1}}) {
    OptionsHarness fresh;
    fresh.s.CurrentSettings.Interval = c.interval;
    fresh.Open();
    EXPECT_EQ(fresh.Ctl(C::cmbInterval).selected, c.selected) << c.interval;
    EXPECT_EQ(fresh.s.CurrentSettings.Interval, c.interval) << "loading never changes the interval";
  }
  Open();
  ASSERT_EQ(Items(C::cmbInterval).size(), 56u);
  EXPECT_EQ(Items(C::cmbInterval).front(), "5 seconds");
  EXPECT_EQ(Items(C::cmbInterval)[10], "15 seconds");
  EXPECT_EQ(Items(C::cmbInterval).back(), "60 seconds");
}

TEST_F(OptionsLoadTest, TwoIncludeFoldersSelectTheFirstAndEnableDownOnly) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\";
  Open();
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"C:\\A\\", "D:\\B\\"}));
  EXPECT_EQ(Ctl(C::lstDirectory).selected, 0);
  EXPECT_TRUE(Enabled(C::cmdDel));
  EXPECT_FALSE(Enabled(C::cmdMove0));
  EXPECT_TRUE(Enabled(C::cmdMove1));
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "C:\\A\\\r\nD:\\B\\") << "unchanged without subfolders";
}

TEST_F(OptionsLoadTest, EmptyListsDisableTheirButtonsAndStoredLinesAreShownAsTheyAre) {
  Open();
  EXPECT_TRUE(Items(C::lstDirectory).empty());
  EXPECT_FALSE(Enabled(C::cmdDel));
  EXPECT_FALSE(Enabled(C::cmdMove0));
  EXPECT_FALSE(Enabled(C::cmdMove1));
  EXPECT_FALSE(Enabled(C::cmdDelExclude));

  OptionsHarness odd;
  odd.s.CurrentSettings.ImageDirectory = "photos\r\n\r\nC:\\X\\\r\n";
  odd.Open();
  EXPECT_EQ(odd.Items(C::lstDirectory), (Lines{"photos", "", "C:\\X\\", ""}));
}

TEST_F(OptionsLoadTest, SubfoldersIncludedRemoveNestedIncludesAndRebuildTheSetting) {
  s.CurrentSettings.Recursive = true;
  s.CurrentSettings.ImageDirectory = "C:\\A\\B\\\r\nC:\\A\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\";
  Open();
  EXPECT_EQ(Items(C::lstDirectory), Lines{"C:\\A\\"});
  EXPECT_EQ(s.CurrentSettings.ImageDirectory, "C:\\A\\\r\n");
  EXPECT_EQ(s.CurrentSettings.ExcludeDirectory, "C:\\A\\X\\") << "the exclude list is not touched";
  EXPECT_TRUE(Ctl(C::chkRecursive).checked);
  for (C id : {C::lstExclude, C::cmdAddExclude0, C::cmdAddExclude1, C::cmdDelExclude}) {
    EXPECT_TRUE(Enabled(id)) << InfoOf(id).name;
  }
  EXPECT_EQ(s.C->SettingsAtOpen().ImageDirectory, "C:\\A\\B\\\r\nC:\\A\\") << "taken before any handler ran";
}

TEST_F(OptionsLoadTest, WithoutSubfoldersTheExclusionsAreListedButLocked) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\\r\nC:\\A\\Y\\";
  Open();
  EXPECT_FALSE(Ctl(C::chkRecursive).checked);
  EXPECT_EQ(Items(C::lstExclude).size(), 2u);
  for (C id : {C::lstExclude, C::cmdAddExclude0, C::cmdAddExclude1, C::cmdDelExclude}) {
    EXPECT_FALSE(Enabled(id)) << InfoOf(id).name;
  }
}

TEST_F(OptionsLoadTest, ResolutionFollowsTheCaptionChoice) {
  struct Case {
    std::int16_t show_filename;
    bool resolution;
    bool checked, enabled, stored;
  };
  for (Case c : {Case{0, true, false, false, false}, Case{2, true, true, true, true}, Case{1, false, false, true, false},
                 Case{0, false, false, false, false}}) {
    OptionsHarness t;
    t.s.CurrentSettings.ShowFilename = c.show_filename;
    t.s.CurrentSettings.ShowFileResolution = c.resolution;
    t.Open();
    SCOPED_TRACE(testing::Message() << c.show_filename << "/" << c.resolution);
    EXPECT_EQ(t.Ctl(C::cmbFileName).selected, c.show_filename);
    EXPECT_EQ(t.Ctl(C::chkResolution).checked, c.checked);
    EXPECT_EQ(t.Enabled(C::chkResolution), c.enabled);
    EXPECT_EQ(t.s.CurrentSettings.ShowFileResolution, c.stored);
    EXPECT_EQ(t.s.C->SettingsAtOpen().ShowFileResolution, c.resolution) << "cancel restores what was stored";
  }
}

TEST_F(OptionsLoadTest, ListChoicesColoursAndFlagsAreShown) {
  SaverSettings& c = s.CurrentSettings;
  c.CheckImageSize = 12;
  c.CheckAspectRatio = 2;
  c.UpscaleMode = 3;
  c.Random = true;
  c.ShowFilenameColorText = 0x123456;
  c.ShowFilenameColorBorder = 0xABCDEF;
  const SaverSettings before = c;
  Open();
  EXPECT_EQ(Ctl(C::cmbCheckSize).selected, 12);
  EXPECT_EQ(Ctl(C::cmbAspectRatio).selected, 2);
  EXPECT_EQ(Ctl(C::cmbUpscaleMode).selected, 3);
  EXPECT_TRUE(Ctl(C::chkRandom).checked);
  EXPECT_EQ(Ctl(C::shpDemo0).color, 0x123456);
  EXPECT_EQ(Ctl(C::shpDemo1).color, 0xABCDEF);
  EXPECT_EQ(s.CurrentSettings, before);
  EXPECT_TRUE(engine->calls.empty()) << "the preview stays off while the Info panel is hidden";
  EXPECT_FALSE(dialog->fraFrameVisible(2));
}

TEST_F(OptionsLoadTest, GracePeriodIsShownAsANumberOrFive) {
  struct Case {
    bool readable;
    std::string stored, shown;
  };
  for (const Case& c : {Case{false, "", "5"}, Case{true, "abc", "5"}, Case{true, "7", "7"}, Case{true, " 10", "10"},
                        Case{true, "", "5"}, Case{true, "2.50", "2.5"}, Case{true, "12 s", "5"}}) {
    OptionsHarness t;
    t.grace_readable = c.readable;
    t.grace = c.stored;
    t.Open();
    EXPECT_EQ(t.Ctl(C::txtGrace).text, c.shown) << c.stored;
    EXPECT_EQ(t.s.C->GraceAtOpen(), c.shown);
  }
}

TEST_F(OptionsLoadTest, CaptionAndInfoTexts) {
  Open();
  EXPECT_EQ(window->caption, s.ProgramTitle);
  EXPECT_EQ(Ctl(C::lblInfo0).text, s.ProgramFullName);
  EXPECT_EQ(Ctl(C::lblInfo1).text, "Version: 0.9.42");
  EXPECT_EQ(Ctl(C::lblLink).text, s.AboutLinkTarget);
  EXPECT_EQ(Ctl(C::txtChangelog).text.substr(0, 11), "v. 0.9.42\r\n");
  EXPECT_EQ(Ctl(C::txtChangelog).text.substr(Ctl(C::txtChangelog).text.size() - 2), "\r\n");
  EXPECT_EQ(Items(C::cmbFileName), (Lines{"No", "Top", "Bottom"}));
  EXPECT_EQ(Items(C::cmbCheckSize).size(), 13u);
  EXPECT_EQ(window->client_width, 0) << "the window keeps its size at open";
  EXPECT_EQ(dialog->ClientWidthTwips(), 4980);
}

// Every state change reaches the window, so a platform dialog can mirror it.
TEST_F(OptionsLoadTest, TheWindowHearsOfEveryChangeMadeDuringLoad) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  Open();
  auto heard = [&](C id, unsigned aspect) {
    return std::any_of(window->changes.begin(), window->changes.end(),
                       [&](const FakeOptionsWindow::Change& c) { return c.id == id && (c.aspects & aspect); });
  };
  EXPECT_TRUE(heard(C::cmbInterval, kAspectItems));
  EXPECT_TRUE(heard(C::cmbInterval, kAspectSelection));
  EXPECT_TRUE(heard(C::lstDirectory, kAspectItems));
  EXPECT_TRUE(heard(C::cmdDelExclude, kAspectEnabled));
  EXPECT_TRUE(heard(C::txtGrace, kAspectText));
  EXPECT_TRUE(heard(C::shpDemo0, kAspectColor));
  EXPECT_FALSE(heard(C::fraFrame2, kAspectVisible));
}

}  // namespace
