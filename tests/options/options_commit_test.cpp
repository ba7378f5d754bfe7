// How the options dialog ends: OK saves (and writes a changed grace period),
// Cancel and the close box discard; every way restores the settings in memory,
// gives the owner window back, stops the preview and ends the program.
#include "options_fixture.h"

namespace {

TEST(OptionsCommit, EveryWayOfClosing) {
  enum End { kOk, kCancel, kCancelById, kCloseBox };
  const struct {
    End end;
    const char* typed;  // into txtGrace, which shows the stored 5
    bool writable;
    const char* stored;  // saves, grace writes and messages
  } cases[] = {
      {kOk, "5", true, "saved 60000; "},
      {kOk, " 10 ", true, "saved 60000; grace 10; "},
      {kOk, "2.5", true, "saved 60000; grace 2.5; "},
      {kOk, "05", true, "saved 60000; grace 05; "},
      {kOk, "abc", true, "saved 60000; "},
      {kOk, "", true, "saved 60000; "},
      {kOk, "10", false, "saved 60000; grace 10; Cannot save Grace Period change.48; "},
      {kCancel, "30", true, ""},
      {kCancelById, "30", true, ""},
      {kCloseBox, "30", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.end << " '" << c.typed << "'");
    OptionsHarness t;
    t.grace = "5";
    t.s.OptionsOwner = 66;
    t.s.CurrentSettings.ShowFilename = 0;
    t.s.CurrentSettings.ShowFileResolution = true;  // the load clears it
    const SaverSettings at_open = t.s.CurrentSettings;
    t.Open().cmdMore_Click();
    t.storage->grace_writable = c.writable;
    t.dialog->cmbInterval_Click(55);
    t.dialog->txtGrace_Change(c.typed);
    OptionsDialog& d = *t.dialog;
    EXPECT_THROW(c.end == kOk         ? d.cmdOk_Click()
                 : c.end == kCancel   ? d.cmdCancel_Click()
                 : c.end == kCloseBox ? d.Form_Unload()
                                      : d.OnClick(C::cmdCancel),
                 ProcessEnded);
    std::string stored;
    for (const auto& s : t.storage->saved) stored += "saved " + std::to_string(s.Interval) + (s.ShowFileResolution ? "+" : "") + "; ";
    for (const auto& grace : t.storage->grace_writes) stored += "grace " + grace + "; ";
    for (const auto& box : t.f.system.boxes) stored += box.text.substr(0, 32) + std::to_string(box.style) + "; ";
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(t.s.CurrentSettings, at_open);
    EXPECT_EQ(t.f.windows.calls, (Lines{"EnableWindow(66)", "SetNotTopmost(66)"}));
    EXPECT_EQ(t.engine->calls.back(), "StopCatalogue");
    EXPECT_EQ(t.f.system.calls.back(), "EndProcess");
  }
}

}  // namespace
