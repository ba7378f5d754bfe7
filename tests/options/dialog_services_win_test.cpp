// The Windows dialog services, each answered from inside its own modal loop:
// our input box, the colour dialog and the folder picker.
#include "options/dialog_services.h"
#include "options/dialog_util_win.h"
#include "options/input_box_win.h"
#include "win32_options_harness.h"

namespace {

TEST(PromptLinesTest, EveryKindOfLineBreakBecomesCrLf) {
  const struct {
    const char* prompt;
    const char* shown;
  } cases[] = {
      {"", ""},
      {"one line", "one line"},
      {"a\rb", "a\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"a\nb", "a\r\nb"},
      {"a\r\rb\r", "a\r\n\r\nb\r\n"},
      {"EXAMPLE:\r\tC:\\PHOTOS", "EXAMPLE:\r\n\tC:\\PHOTOS"},
  };
  for (const auto& c : cases) EXPECT_EQ(PromptLines(c.prompt), c.shown) << c.prompt;
}

// A plain window to own the modal dialogs.
class OwnerWindow {
 public:
  OwnerWindow() {
    hwnd_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~OwnerWindow() { DestroyWindow(hwnd_); }
  HWND get() const { return hwnd_; }
  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(hwnd_); }

 private:
  HWND hwnd_;
};

class WinDialogServicesTest : public ::testing::Test {
 protected:
  std::unique_ptr<DialogServices> services = CreatePlatformDialogServices();
  OwnerWindow owner;
};

TEST_F(WinDialogServicesTest, ReturnsWhatWasTypedAndShowsThePromptLinesTitleAndDefault) {
  std::string prompt_shown, title_shown, default_shown;
  bool owner_disabled = false;
  ModalAnswer answer([&](HWND box) {
    char text[512] = {};
    GetDlgItemTextA(box, kInputBoxPromptId, text, sizeof text);
    prompt_shown = text;
    GetWindowTextA(box, text, sizeof text);
    title_shown = text;
    GetDlgItemTextA(box, kInputBoxTextId, text, sizeof text);
    default_shown = text;
    owner_disabled = !IsWindowEnabled(owner.get());
    SetDlgItemTextA(box, kInputBoxTextId, " \\\\server\\share ");
    PressDialogButton(box, IDOK);
    return true;
  });
  const std::string typed = services->InputBox(owner.handle(), "First line.\rEXAMPLE:\r\tC:\\PHOTOS", "The title",
                                                "C:\\");
  EXPECT_TRUE(answer.answered());
  EXPECT_EQ(typed, " \\\\server\\share ") << "the text as typed: the caller trims it";
  EXPECT_EQ(prompt_shown, "First line.\r\nEXAMPLE:\r\n\tC:\\PHOTOS");
  EXPECT_EQ(title_shown, "The title");
  EXPECT_EQ(default_shown, "C:\\");
  EXPECT_TRUE(owner_disabled) << "the box is modal";
  EXPECT_TRUE(IsWindowEnabled(owner.get())) << "and gives the owner back";
}

TEST_F(WinDialogServicesTest, CancelEscAndTheCloseBoxGiveNothing) {
  const struct {
    const char* what;
    UINT message;
    WPARAM wparam;
  } cases[] = {
      {"Cancel", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
      {"close box", WM_SYSCOMMAND, SC_CLOSE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ModalAnswer answer([&](HWND box) {
      SetDlgItemTextA(box, kInputBoxTextId, "typed but not kept");
      PostMessageA(box, c.message, c.wparam, 0);
      return true;
    });
    EXPECT_EQ(services->InputBox(owner.handle(), "Prompt", "Title", ""), "");
    EXPECT_TRUE(answer.answered());
  }
  // Esc, as the keyboard sends it to the focused text field.
  ModalAnswer answer([&](HWND box) {
    HWND field = GetDlgItem(box, kInputBoxTextId);
    PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
  });
  EXPECT_EQ(services->InputBox(owner.handle(), "Prompt", "Title", "kept?"), "");
}

TEST_F(WinDialogServicesTest, ColourDialogGivesTheChosenColourOrCancelledAndKeepsTheCustomColours) {
  CustomColors custom{};
  custom[3] = 0x00FF00;
  ModalAnswer ok([](HWND dialog) {
    PressDialogButton(dialog, IDOK);
    return true;
  });
  EXPECT_EQ(services->PickColor(owner.handle(), 0x123456, custom), 0x123456) << "opened on the initial colour";
  EXPECT_TRUE(ok.answered());
  EXPECT_EQ(custom[3], 0x00FF00);

  HWND colour_owner = nullptr;
  ModalAnswer cancel([&](HWND dialog) {
    colour_owner = GetWindow(dialog, GW_OWNER);
    PressDialogButton(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(services->PickColor(owner.handle(), 0x123456, custom), kColorCancelled);
  EXPECT_EQ(colour_owner, owner.get());
}

TEST_F(WinDialogServicesTest, FolderPickerCancelledGivesNothing) {
  std::string title_seen;
  ModalAnswer cancel([&](HWND dialog) {
    // The title is one of the picker's static texts.
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM out) {
          char text[256] = {};
          GetWindowTextA(child, text, sizeof text);
          if (std::string(text) == "Please select your Images folder.") *reinterpret_cast<std::string*>(out) = text;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&title_seen));
    PressDialogButton(dialog, IDCANCEL);
    return true;
  });
  EXPECT_EQ(services->BrowseFolder(owner.handle(), "Please select your Images folder."), "");
  EXPECT_TRUE(cancel.answered());
  EXPECT_EQ(title_seen, "Please select your Images folder.");
}

}  // namespace
