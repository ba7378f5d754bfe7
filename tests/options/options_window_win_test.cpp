// The Win32 options window over the view-model (fake services and show
// machinery): the children in tab order, the focus leaving a button that gets
// disabled, and the link's double-click. What its widgets show and forward:
// the end-to-end options.sh.
#include "win32_options_harness.h"

namespace {

TEST_F(Win32OptionsTest, TabOrderFocusAndLink) {
  settings.include_folders = "C:\\A\\\r\nD:\\B\\";
  Open();
  ShowWindow();
  int index = 0;  // the tab order is the children's order, which must be the table's
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
    ASSERT_LT(index, kControlCount);
    EXPECT_EQ(child, Item(AllControls()[index].id)) << index;
  }
  EXPECT_EQ(index, kControlCount);
  EXPECT_EQ(WindowText(hwnd), identity.title);
  SelectRow(C::IncludeList, 1);
  Click(C::MoveIncludeUp);
  EXPECT_EQ(GetFocus(), Item(C::IncludeList)) << "the up button was disabled under the focus";
  Click(C::InfoToggle);
  Notify(C::AboutLink, STN_DBLCLK);
  EXPECT_EQ(fakes.dialogs.links, Lines{identity.about_link});
}

}  // namespace
