// How the options dialog ends: commit, cancel, the close box, the grace period.
#include "options_fixture.h"

namespace {

using C = ControlId;

// Every case opens with a readable stored grace period of 5.
void StoreGrace(OptionsHarness& h) {
  static const std::string kStored = "5";
  h.grace_readable = true;
  h.grace = kStored;
}

class OptionsCommitTest : public OptionsTest {
 protected:
  OptionsCommitTest() { StoreGrace(*this); }
};

constexpr char kRefused[] =
    "Cannot save Grace Period change. Other settings were saved successfully anyway.\r\n\r\n"
    "Only Administrators can save system-wide settings.";

TEST_F(OptionsCommitTest, OkSavesTheEditedSettingsThenRestoresMemoryAndEnds) {
  s.CurrentSettings.ShowFilename = 0;
  s.CurrentSettings.ShowFileResolution = true;  // the load clears it
  const SaverSettings at_open = s.CurrentSettings;
  Open();
  dialog->cmbInterval_Click(55);
  EXPECT_THROW(dialog->cmdOk_Click(), ProcessEnded);
  ASSERT_EQ(storage->saved.size(), 1u);
  EXPECT_EQ(storage->saved[0].Interval, 60000);
  EXPECT_FALSE(storage->saved[0].ShowFileResolution);
  EXPECT_EQ(s.CurrentSettings, at_open) << "memory is restored on unload";
  EXPECT_TRUE(storage->grace_writes.empty()) << "an unchanged grace period is never written";
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_EQ(f.system.calls.back(), "EndProcess");
}

TEST_F(OptionsCommitTest, GraceIsWrittenTrimmedOnlyWhenChangedAndNumeric) {
  struct Case {
    std::string typed;
    Lines written;
  };
  for (const Case& c : {Case{" 10 ", {"10"}}, Case{"10", {"10"}}, Case{"abc", {}}, Case{"5", {}},
                        Case{"", {}}, Case{"2.5", {"2.5"}}, Case{"05", {"05"}}}) {
    OptionsHarness t;
    StoreGrace(t);
    t.Open();
    t.dialog->txtGrace_Change(c.typed);
    EXPECT_THROW(t.dialog->cmdOk_Click(), ProcessEnded);
    EXPECT_EQ(t.storage->grace_writes, c.written) << "'" << c.typed << "'";
    EXPECT_EQ(t.storage->saved.size(), 1u);
    EXPECT_TRUE(t.f.system.boxes.empty());
  }
}

TEST_F(OptionsCommitTest, RefusedGraceWriteWarnsOnceAfterSavingTheSettings) {
  Open();
  storage->grace_writable = false;
  dialog->txtGrace_Change("10");
  EXPECT_THROW(dialog->cmdOk_Click(), ProcessEnded);
  EXPECT_EQ(storage->saved.size(), 1u);
  ASSERT_EQ(f.system.boxes.size(), 1u);
  EXPECT_EQ(f.system.boxes[0].text, kRefused);
  EXPECT_EQ(f.system.boxes[0].title, s.ProgramTitle);
  EXPECT_EQ(f.system.boxes[0].style, 48);
  EXPECT_EQ(f.system.calls, (Lines{"MessageBox", "EndProcess"}));
}

TEST_F(OptionsCommitTest, CancelAndTheCloseBoxDiscardEverything) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  const SaverSettings at_open = s.CurrentSettings;
  for (int way = 0; way < 3; ++way) {
    OptionsHarness t;
    t.s.CurrentSettings = at_open;
    t.Open();
    t.dialog->cmbUpscaleMode_Click(3);
    t.dialog->cmdDel_Click();
    t.dialog->txtGrace_Change("30");
    if (way == 0) {
      EXPECT_THROW(t.dialog->cmdCancel_Click(), ProcessEnded);
    } else if (way == 1) {
      EXPECT_THROW(t.dialog->OnClick(C::cmdCancel), ProcessEnded);
    } else {
      EXPECT_THROW(t.dialog->Form_Unload(), ProcessEnded);  // the close box
    }
    EXPECT_TRUE(t.storage->saved.empty()) << way;
    EXPECT_TRUE(t.storage->grace_writes.empty()) << way;
    EXPECT_EQ(t.s.CurrentSettings, at_open) << way;
  }
}

TEST_F(OptionsCommitTest, UnloadGivesTheOwnerBackOrTouchesNoWindow) {
  Open();
  EXPECT_THROW(dialog->Form_Unload(), ProcessEnded);
  EXPECT_TRUE(f.windows.calls.empty());

  OptionsHarness owned;
  owned.s.OptionsOwner = 66;
  owned.Open();
  owned.dialog->cmdMore_Click();
  EXPECT_THROW(owned.dialog->cmdCancel_Click(), ProcessEnded);
  EXPECT_EQ(owned.f.windows.calls, (Lines{"EnableWindow(66)", "SetNotTopmost(66)"}));
  EXPECT_EQ(owned.engine->calls.back(), "StopCatalogue") << "the preview stops before the end";
}

}  // namespace
