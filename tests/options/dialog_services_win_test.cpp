// The Windows dialog services, each answered from inside its own modal loop:
// our input box, the colour dialog and the folder picker.
#include "options/dialog_services.h"
#include "options/input_box_win.h"
#include "win32_options_harness.h"

namespace {

struct WinDialogServicesTest : ::testing::Test {
  WinDialogServicesTest() {
    owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~WinDialogServicesTest() override { DestroyWindow(owner); }
  WindowHandle Owner() const { return reinterpret_cast<WindowHandle>(owner); }
  std::unique_ptr<DialogServices> services = CreatePlatformDialogServices();
  HWND owner;
};

TEST_F(WinDialogServicesTest, InputBoxIsModalShowsThePromptAndGivesTheTypedText) {
  std::string shown;
  ModalAnswer answer([&](HWND box) {
    shown = WindowText(GetDlgItem(box, kInputBoxPromptId)) + "|" + WindowText(box) + "|" +
            WindowText(GetDlgItem(box, kInputBoxTextId)) + (IsWindowEnabled(owner) ? "" : "|modal");
    SetDlgItemTextA(box, kInputBoxTextId, " \\\\server\\share ");
    Press(box, IDOK);
  });
  EXPECT_EQ(services->InputBox(Owner(), "First line.\rEXAMPLE:\r\tC:\\PHOTOS", "The title", "C:\\"),
            " \\\\server\\share ");  // the caller trims
  EXPECT_EQ(shown, "First line.\r\nEXAMPLE:\r\n\tC:\\PHOTOS|The title|C:\\|modal");
  EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is given back";
}

TEST_F(WinDialogServicesTest, CancelEscAndTheCloseBoxGiveNothing) {
  for (int way = 0; way < 3; ++way) {
    ModalAnswer answer([&](HWND box) {
      SetDlgItemTextA(box, kInputBoxTextId, "typed but not kept");
      if (way == 0) Press(box, IDCANCEL);
      if (way == 1) PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
      if (way == 2) PostMessageA(GetDlgItem(box, kInputBoxTextId), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(services->InputBox(Owner(), "Prompt", "Title", ""), "") << way;
    EXPECT_TRUE(answer.answered);
  }
}

TEST_F(WinDialogServicesTest, ColourDialogGivesTheChosenColourOrCancelled) {
  CustomColors custom{};
  custom[3] = 0x00FF00;
  for (int button : {IDOK, IDCANCEL}) {
    HWND colour_owner = nullptr;
    ModalAnswer answer([&](HWND dialog) {
      colour_owner = GetWindow(dialog, GW_OWNER);
      Press(dialog, button);
    });
    EXPECT_EQ(services->PickColor(Owner(), 0x123456, custom), button == IDOK ? 0x123456 : kColorCancelled);
    EXPECT_EQ(colour_owner, owner);
  }
  EXPECT_EQ(custom[3], 0x00FF00);
}

}  // namespace
