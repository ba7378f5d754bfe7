// Loading the options dialog from CurrentSettings.
#include "options_fixture.h"

namespace {

using C = ControlId;

class OptionsLoadTest : public OptionsTest {};

TEST_F(OptionsLoadTest, IntervalSelectsItsItemOnlyForWholeSecondsInRange) {
  const std::pair<int, int> cases[] = {{15000, 10}, {60000, 55}, {5000, 0}, {15500, -1}, {61000, -1}};
  for (auto [interval, selected] : cases) {
    OptionsHarness t;
    t.s.CurrentSettings.Interval = static_cast<std::uint16_t>(interval);
    t.Open();
    EXPECT_EQ(t.Ctl(C::cmbInterval).selected, selected) << interval;
    EXPECT_EQ(t.s.CurrentSettings.Interval, interval) << "loading never changes the interval";
    EXPECT_EQ(t.Items(C::cmbInterval).size(), 56u);
    EXPECT_EQ(t.Items(C::cmbInterval)[10], "15 seconds");
  }
}

TEST_F(OptionsLoadTest, FolderListsAreShownAsStoredWithTheirButtons) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nphotos\r\n\r\n";
  Open();
  EXPECT_EQ(Items(C::lstDirectory), (Lines{"C:\\A\\", "photos", "", ""}));
  EXPECT_EQ(Ctl(C::lstDirectory).selected, 0);
  EXPECT_TRUE(Enabled(C::cmdDel));
  EXPECT_FALSE(Enabled(C::cmdMove0));
  EXPECT_TRUE(Enabled(C::cmdMove1));
  EXPECT_FALSE(Enabled(C::cmdDelExclude));

  OptionsHarness empty;
  empty.Open();
  for (C id : {C::cmdDel, C::cmdMove0, C::cmdMove1}) EXPECT_FALSE(empty.Enabled(id)) << InfoOf(id).name;
}

TEST_F(OptionsLoadTest, SubfoldersDecideNestedIncludesAndTheExcludeControls) {
  for (bool recursive : {true, false}) {
    OptionsHarness t;
    t.s.CurrentSettings.Recursive = recursive;
    t.s.CurrentSettings.ImageDirectory = "C:\\A\\B\\\r\nC:\\A\\";
    t.s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\";
    t.Open();
    EXPECT_EQ(t.Items(C::lstDirectory), recursive ? Lines{"C:\\A\\"} : (Lines{"C:\\A\\B\\", "C:\\A\\"}));
    EXPECT_EQ(t.s.CurrentSettings.ImageDirectory, recursive ? "C:\\A\\\r\n" : "C:\\A\\B\\\r\nC:\\A\\");
    EXPECT_EQ(t.s.C->SettingsAtOpen().ImageDirectory, "C:\\A\\B\\\r\nC:\\A\\");
    EXPECT_EQ(t.Items(C::lstExclude), Lines{"C:\\A\\X\\"});
    for (C id : {C::lstExclude, C::cmdAddExclude0, C::cmdAddExclude1, C::cmdDelExclude}) {
      EXPECT_EQ(t.Enabled(id), recursive) << InfoOf(id).name;
    }
  }
}

TEST_F(OptionsLoadTest, ResolutionFollowsTheCaptionChoice) {
  struct Case {
    std::int16_t show_filename;
    bool resolution, checked, enabled;
  };
  for (Case c : {Case{0, true, false, false}, Case{2, true, true, true}, Case{1, false, false, true}}) {
    OptionsHarness t;
    t.s.CurrentSettings.ShowFilename = c.show_filename;
    t.s.CurrentSettings.ShowFileResolution = c.resolution;
    t.Open();
    EXPECT_EQ(t.Ctl(C::chkResolution).checked, c.checked) << c.show_filename;
    EXPECT_EQ(t.Enabled(C::chkResolution), c.enabled) << c.show_filename;
    EXPECT_EQ(t.s.CurrentSettings.ShowFileResolution, c.checked) << c.show_filename;
    EXPECT_EQ(t.s.C->SettingsAtOpen().ShowFileResolution, c.resolution);
  }
}

TEST_F(OptionsLoadTest, ChoicesColoursAndTextsAreShownWithoutStartingThePreview) {
  SaverSettings& c = s.CurrentSettings;
  c.CheckImageSize = 12;
  c.CheckAspectRatio = 2;
  c.UpscaleMode = 3;
  c.ShowFilenameColorText = 0x123456;
  const SaverSettings before = c;
  Open();
  EXPECT_EQ(Ctl(C::cmbCheckSize).selected, 12);
  EXPECT_EQ(Ctl(C::cmbAspectRatio).selected, 2);
  EXPECT_EQ(Ctl(C::cmbUpscaleMode).selected, 3);
  EXPECT_TRUE(Ctl(C::chkRandom).checked);
  EXPECT_EQ(Ctl(C::shpDemo0).color, 0x123456);
  EXPECT_EQ(s.CurrentSettings, before);
  EXPECT_TRUE(engine->calls.empty()) << "the preview stays off while the Info panel is hidden";
  EXPECT_EQ(window->caption, s.ProgramTitle);
  EXPECT_EQ(Ctl(C::lblInfo0).text, s.ProgramFullName);
  EXPECT_EQ(Ctl(C::lblInfo1).text, "Version: 0.9.42");
  EXPECT_EQ(Ctl(C::lblLink).text, s.AboutLinkTarget);
  // The window hears of changes made during load, so a platform dialog can mirror them.
  auto heard = [&](C id, unsigned aspect) {
    return std::any_of(window->changes.begin(), window->changes.end(),
                       [&](const FakeOptionsWindow::Change& ch) { return ch.id == id && (ch.aspects & aspect); });
  };
  EXPECT_TRUE(heard(C::cmbCheckSize, kAspectSelection));
  EXPECT_TRUE(heard(C::shpDemo0, kAspectColor));
  EXPECT_TRUE(heard(C::txtGrace, kAspectText));
}

TEST_F(OptionsLoadTest, GracePeriodIsShownAsANumberOrFive) {
  struct Case {
    bool readable;
    std::string stored, shown;
  };
  for (const Case& c : {Case{false, "", "5"}, Case{true, "abc", "5"}, Case{true, "7", "7"}, Case{true, " 10", "10"},
                        Case{true, "", "5"}}) {
    OptionsHarness t;
    t.grace_readable = c.readable;
    t.grace = c.stored;
    t.Open();
    EXPECT_EQ(t.Ctl(C::txtGrace).text, c.shown) << c.stored;
    EXPECT_EQ(t.s.C->GraceAtOpen(), c.shown);
  }
}

}  // namespace
