// The Win32 options window over the view-model (fake ports and show
// machinery): every control of the table is built in tab order, the
// view-model's state reaches the widgets and the user's actions reach the
// handlers.
#include "win32_options_harness.h"

namespace {

TEST_F(Win32OptionsTest, WidgetsShowTheStateAndForwardTheUsersActions) {
  s.CurrentSettings.Interval = 20000;
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\";
  grace = " 10";
  OpenAndShow();
  int index = 0;  // the tab order is the children's order, which must be the table's
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
    ASSERT_LT(index, kControlCount);
    EXPECT_EQ(child, Item(AllControls()[index].id)) << AllControls()[index].name;
  }
  EXPECT_EQ(index, kControlCount);
  EXPECT_EQ(WindowText(hwnd), s.ProgramTitle);
  EXPECT_EQ(Send(C::cmbInterval, CB_GETCURSEL), 15);
  EXPECT_EQ(Rows(C::lstDirectory), (Lines{"C:\\A\\", "D:\\B\\"}));
  EXPECT_EQ(Rows(C::lstExclude), Lines{"C:\\A\\X\\"});
  EXPECT_FALSE(IsWindowEnabled(Item(C::lstExclude)));
  EXPECT_EQ(Send(C::chkRandom, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(WindowText(Item(C::txtGrace)), "10");
  EXPECT_EQ(WindowText(Item(C::lblLink)), s.AboutLinkTarget);
  EXPECT_FALSE(IsWindowVisible(Item(C::picSaver)));

  Send(C::chkRecursive, BM_CLICK);
  EXPECT_TRUE(s.CurrentSettings.Recursive);
  EXPECT_TRUE(IsWindowEnabled(Item(C::lstExclude)));
  Send(C::cmbInterval, CB_SETCURSEL, 55);
  Notify(C::cmbInterval, CBN_SELCHANGE);
  EXPECT_EQ(s.CurrentSettings.Interval, 60000);
  Send(C::lstDirectory, LB_SETCURSEL, 1);
  Notify(C::lstDirectory, LBN_SELCHANGE);
  Send(C::cmdMove0, BM_CLICK);
  EXPECT_EQ(Rows(C::lstDirectory), (Lines{"D:\\B\\", "C:\\A\\"}));
  EXPECT_EQ(GetFocus(), Item(C::lstDirectory)) << "the up button was disabled under the focus";
  f.dialogs.typed = {"E:\\Photos"};
  Send(C::cmdAdd1, BM_CLICK);
  EXPECT_EQ(Rows(C::lstDirectory).back(), "E:\\Photos\\");
  EXPECT_EQ(f.dialogs.owner, dialog->Window()->Handle());
  SetWindowTextA(Item(C::txtGrace), "9");
  EXPECT_EQ(dialog->Control(C::txtGrace).text, "9");

  // The Info panel's preview takes Enter from the dialog manager, which elsewhere is OK.
  Send(C::cmdMore, BM_CLICK);
  EXPECT_TRUE(IsWindowVisible(Item(C::picSaver)));
  engine->timer_running = true;
  SetFocus(Item(C::picSaver));
  MSG enter{Item(C::picSaver), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(IsDialogMessageA(hwnd, &enter));
  EXPECT_EQ(engine->calls.back(), "Tick");
  Notify(C::lblLink, STN_DBLCLK);
  EXPECT_EQ(f.dialogs.links, Lines{s.AboutLinkTarget});
}

}  // namespace
