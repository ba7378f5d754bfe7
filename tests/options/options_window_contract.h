#pragma once
// The options-window contract: every platform dialog (GTK, Win32) shows the
// view-model's state in its widgets and forwards the user's actions on them.
// Instantiate with a rig that is an OptionsHarness opening the platform's
// window and has Ready() (false: skip), ShowWindow(), and, by control id:
// Rows, ComboIndex, Checked, WidgetEnabled, WidgetVisible, Text (what the
// widget shows) and Click, SelectRow, SelectCombo, Toggle, Type (what the user
// does), plus PressEnterInPreview().
#include "options_fixture.h"

template <typename Rig>
class OptionsWindowContract : public ::testing::Test {
 protected:
  Rig rig;
};
TYPED_TEST_SUITE_P(OptionsWindowContract);

TYPED_TEST_P(OptionsWindowContract, WidgetsShowTheStateAndForwardTheUsersActions) {
  TypeParam& r = this->rig;
  if (!r.Ready()) GTEST_SKIP() << "no display for the platform's dialog";
  r.settings.interval_ms = 20000;
  r.settings.include_folders = "C:\\A\\\r\nD:\\B\\";
  r.settings.exclude_folders = "C:\\A\\X\\";
  r.grace = " 10";
  r.Open();
  r.ShowWindow();
  EXPECT_EQ(r.ComboIndex(C::IntervalCombo), 15);
  EXPECT_EQ(r.Rows(C::IncludeList), (Lines{"C:\\A\\", "D:\\B\\"}));
  EXPECT_EQ(r.Rows(C::ExcludeList), Lines{"C:\\A\\X\\"});
  EXPECT_FALSE(r.WidgetEnabled(C::ExcludeList));
  EXPECT_TRUE(r.Checked(C::RandomCheck));
  EXPECT_EQ(r.Text(C::GraceText), "10");
  EXPECT_EQ(r.Text(C::AboutLink), r.identity.about_link);
  EXPECT_FALSE(r.WidgetVisible(C::Preview));

  r.Toggle(C::SubfoldersCheck);
  EXPECT_TRUE(r.settings.include_subfolders);
  EXPECT_TRUE(r.WidgetEnabled(C::ExcludeList));
  r.SelectCombo(C::IntervalCombo, 55);
  EXPECT_EQ(r.settings.interval_ms, 60000);
  r.SelectRow(C::IncludeList, 1);
  EXPECT_EQ(r.dialog->Control(C::IncludeList).selected, 1);
  r.Click(C::MoveIncludeUp);
  EXPECT_EQ(r.Rows(C::IncludeList), (Lines{"D:\\B\\", "C:\\A\\"}));
  EXPECT_FALSE(r.WidgetEnabled(C::MoveIncludeUp));
  r.fakes.dialogs.typed = {"E:\\Photos"};
  r.Click(C::AddIncludeByPath);
  EXPECT_EQ(r.Rows(C::IncludeList).back(), "E:\\Photos\\");
  EXPECT_EQ(r.fakes.dialogs.owner, r.dialog->Window()->Handle());
  r.Type(C::GraceText, "9");
  EXPECT_EQ(r.dialog->Control(C::GraceText).text, "9");

  // The Info panel's preview takes Enter, which elsewhere is OK.
  r.Click(C::InfoToggle);
  EXPECT_TRUE(r.WidgetVisible(C::Preview));
  r.preview->timer_running = true;
  r.preview->calls.clear();
  r.PressEnterInPreview();
  EXPECT_EQ(r.preview->calls, Lines{"Tick"});
}

REGISTER_TYPED_TEST_SUITE_P(OptionsWindowContract, WidgetsShowTheStateAndForwardTheUsersActions);
