// How the options dialog ends: OK saves (and writes a changed grace period),
// Cancel and the close box discard; every way restores the settings in memory,
// gives the owner window back, stops the preview and ends the program.
#include "options_fixture.h"

namespace {

TEST(OptionsCommit, EveryWayOfClosing) {
  enum End { kOk, kCancel, kCloseBox };
  // typed: into GraceText, which shows the stored 5; stored: saves, grace writes and messages
  const struct { End end; const char* typed; bool writable; const char* stored; } cases[] = {
      {kOk, "5", true, "saved 60000; "},
      {kOk, " 10 ", true, "saved 60000; grace 10; "},
      {kOk, "2.5", true, "saved 60000; grace 2.5; "},
      {kOk, "05", true, "saved 60000; grace 05; "},
      {kOk, "abc", true, "saved 60000; "},
      {kOk, "", true, "saved 60000; "},
      {kOk, "10", false, "saved 60000; grace 10; Cannot save Grace Period change.!; "},
      {kCancel, "30", true, ""},
      {kCloseBox, "30", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.end << " '" << c.typed << "'");
    OptionsHarness t;
    t.grace = "5";
    t.settings.caption = CaptionPosition::Off;
    t.settings.caption_shows_size = true;  // the load clears it
    const SaverSettings at_open = t.settings;
    t.Open().SetOwner(66);
    t.dialog->OnClick(C::InfoToggle);
    t.storage->grace_writable = c.writable;
    t.dialog->OnSelect(C::IntervalCombo, 55);
    t.dialog->OnTextChange(C::GraceText, c.typed);
    OptionsDialog& d = *t.dialog;
    EXPECT_THROW(c.end == kOk ? d.OnClick(C::Ok) : c.end == kCancel ? d.OnClick(C::Cancel) : d.Close(), ProcessEnded);
    std::string stored;
    for (const auto& s : t.storage->saved)
      stored += "saved " + std::to_string(s.interval_ms) + (s.caption_shows_size ? "+" : "") + "; ";
    for (const auto& grace : t.storage->grace_writes) stored += "grace " + grace + "; ";
    for (const auto& box : t.fakes.system.boxes)
      stored += box.text.substr(0, 32) + (box.style == MessageBoxStyle::Exclamation ? "!; " : "?; ");
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(t.settings, at_open);
    EXPECT_EQ(t.fakes.windows.calls, (Lines{"EnableWindow(66)", "SetNotTopmost(66)"}));
    EXPECT_EQ(t.preview->calls.back(), "StopCatalogue");
    EXPECT_EQ(t.fakes.system.calls.back(), "EndProcess");
  }
}

}  // namespace
