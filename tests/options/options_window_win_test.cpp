// The Win32 options dialog: its controls against the control table, the
// loaded state in the widgets, user actions reaching the handlers, and the
// keyboard (tab order, shared access keys, Enter, Esc, the preview's keys).
#include <cmath>
#include <cstring>

#include "options/control_widgets_win.h"
#include "options/dialog_util_win.h"
#include "version.h"
#include "win32_options_harness.h"

namespace {

using C = ControlId;

const char* ExpectedClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::Frame:
    case ControlKind::Button:
    case ControlKind::CheckBox: return "Button";
    case ControlKind::Label:
    case ControlKind::Shape: return "Static";
    case ControlKind::ComboBox: return "ComboBox";
    case ControlKind::ListBox: return "ListBox";
    case ControlKind::TextBox: return "Edit";
    case ControlKind::PictureBox: return kPreviewBoxClass;
  }
  return "";
}

// The control's place in the dialog's client area, in pixels.
RECT PlaceOf(HWND dialog, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(Win32OptionsTest, BuildsEveryControlOfTheTableWithItsClassPlaceFontAndTabStop) {
  Open();
  const ScreenDpi dpi = QueryScreenDpi();
  for (int i = 0; i < kControlCount; ++i) {
    const ControlInfo& info = AllControls()[i];
    SCOPED_TRACE(info.name);
    HWND control = Item(info.id);
    ASSERT_NE(control, nullptr);
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    EXPECT_EQ(_stricmp(name, ExpectedClass(info.kind)), 0) << name;

    TwipsRect t = info.rect;
    if (info.container != C::Form) {
      t.left += InfoOf(info.container).rect.left;
      t.top += InfoOf(info.container).rect.top;
    }
    const RECT r = PlaceOf(hwnd, control);
    EXPECT_EQ(r.left, MulDiv(t.left, dpi.x, 1440));
    EXPECT_EQ(r.top, MulDiv(t.top, dpi.y, 1440));
    EXPECT_EQ(r.right, MulDiv(t.left + t.width, dpi.x, 1440));
    // A drop-down list's closed height follows its font, as it does in any form designer.
    if (info.kind != ControlKind::ComboBox) {
      EXPECT_EQ(r.bottom, MulDiv(t.top + t.height, dpi.y, 1440));
    }

    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const bool focusable = info.kind != ControlKind::Frame && info.kind != ControlKind::Label &&
                           info.kind != ControlKind::Shape;
    EXPECT_EQ((style & WS_TABSTOP) != 0, focusable);

    if (info.kind == ControlKind::PictureBox) continue;  // no text, no font
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, info.font.face);
    EXPECT_EQ(font.lfHeight, -std::lround(info.font.points * dpi.y / 72.0));
    EXPECT_EQ(font.lfWeight >= FW_BOLD, info.font.bold);
    EXPECT_EQ(font.lfUnderline != 0, info.font.underline);
  }
}

// Tab order is the order of the children, which must be the table's.
TEST_F(Win32OptionsTest, ChildrenFollowTheTableOrder) {
  Open();
  int expected = 0;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++expected) {
    ASSERT_LT(expected, kControlCount);
    EXPECT_EQ(child, Item(static_cast<C>(expected))) << AllControls()[expected].name;
  }
  EXPECT_EQ(expected, kControlCount);
}

TEST_F(Win32OptionsTest, TooltipsShowTheTableTexts) {
  Open();
  HWND tips = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM out) {
        char name[64] = {};
        GetClassNameA(w, name, sizeof name);
        if (_stricmp(name, TOOLTIPS_CLASSA) != 0) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&tips));
  ASSERT_NE(tips, nullptr);
  int with_tips = 0;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlInfo& info = AllControls()[i];
    if (!*info.tooltip) continue;
    ++with_tips;
    char text[256] = {};
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(info.id));
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, info.tooltip) << info.name;
  }
  EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), with_tips);
}

// One check per kind of state the view-model hands over; the view-model's
// own tests cover which state the load produces.
TEST_F(Win32OptionsTest, WidgetsShowTheLoadedState) {
  s.CurrentSettings.Interval = 20000;
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\";
  s.CurrentSettings.Recursive = false;
  Open();
  char caption[128] = {};
  GetWindowTextA(hwnd, caption, sizeof caption);
  EXPECT_EQ(caption, s.ProgramTitle);
  EXPECT_EQ(Count(C::cmbInterval), 56);
  EXPECT_EQ(Selected(C::cmbInterval), 15);
  ASSERT_EQ(Count(C::lstDirectory), 2);
  EXPECT_EQ(ListLine(C::lstDirectory, 1), "D:\\B\\");
  EXPECT_EQ(Selected(C::lstDirectory), 0);
  EXPECT_FALSE(Enabled(C::cmdMove0));
  EXPECT_TRUE(Enabled(C::cmdMove1));
  EXPECT_FALSE(Enabled(C::lstExclude));
  EXPECT_EQ(SendMessageA(Item(C::chkRecursive), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(Item(C::chkRandom), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Text(C::txtGrace), "5");
  EXPECT_EQ(Text(C::lblLink), s.AboutLinkTarget);
  EXPECT_EQ(Text(C::lblInfo1), "Version: " + std::to_string(GLIMMORA_VERSION_MAJOR) + "." +
                                   std::to_string(GLIMMORA_VERSION_MINOR) + "." +
                                   std::to_string(GLIMMORA_VERSION_REVISION));
  EXPECT_EQ(Text(C::txtChangelog), kChangelogText);
  EXPECT_TRUE(GetWindowLongA(Item(C::txtChangelog), GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(Shown(C::picSaver)) << "the Info panel's controls hide with it";
  EXPECT_EQ(ClientWidth(), TwipsToPixels(kClientWidthAtOpen, QueryScreenDpi().x));
  EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & WS_THICKFRAME) << "the user cannot resize it";
}

TEST_F(Win32OptionsTest, ListsScrollSidewaysOnlyAsFarAsTheirWidestLine) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  Open();
  RECT list;
  GetClientRect(Item(C::lstDirectory), &list);
  EXPECT_LE(SendMessageA(Item(C::lstDirectory), LB_GETHORIZONTALEXTENT, 0, 0), list.right);
  services.typed.push_back("\\\\fileserver.example.org\\photographs\\family\\holidays\\2023 summer\\");
  dialog->Show();
  Click(C::cmdAdd1);
  ASSERT_EQ(Count(C::lstDirectory), 2);
  EXPECT_GT(SendMessageA(Item(C::lstDirectory), LB_GETHORIZONTALEXTENT, 0, 0), list.right);
}

TEST_F(Win32OptionsTest, UserActionsReachTheHandlersAndTheirEffectsShow) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\";
  s.CurrentSettings.Recursive = false;
  Open();
  dialog->Show();

  Click(C::chkRecursive);
  EXPECT_TRUE(s.CurrentSettings.Recursive);
  EXPECT_TRUE(Enabled(C::lstExclude));

  SendMessageA(Item(C::cmbInterval), CB_SETCURSEL, 55, 0);
  Notify(C::cmbInterval, CBN_SELCHANGE);
  EXPECT_EQ(s.CurrentSettings.Interval, 60000);

  SendMessageA(Item(C::lstDirectory), LB_SETCURSEL, 1, 0);
  Notify(C::lstDirectory, LBN_SELCHANGE);
  EXPECT_TRUE(Enabled(C::cmdMove0));
  EXPECT_FALSE(Enabled(C::cmdMove1));
  Click(C::cmdMove0);
  EXPECT_EQ(ListLine(C::lstDirectory, 0), "D:\\B\\");
  EXPECT_EQ(Selected(C::lstDirectory), 0);
  EXPECT_EQ(GetFocus(), Item(C::lstDirectory)) << "the up button was disabled under the focus";

  services.typed.push_back("  E:\\Photos ");
  Click(C::cmdAdd1);
  ASSERT_EQ(Count(C::lstDirectory), 3);
  EXPECT_EQ(ListLine(C::lstDirectory, 2), "E:\\Photos\\");
  EXPECT_EQ(services.inputs.at(0).owner, dialog->Window()->Handle());

  SetWindowTextA(Item(C::txtGrace), "9");
  EXPECT_EQ(dialog->Control(C::txtGrace).text, "9");

  services.colors.push_back(0x0000FF);
  Click(C::cmdColor0);
  EXPECT_EQ(s.CurrentSettings.ShowFilenameColorText, 0x0000FF);
  UpdateWindow(hwnd);
  RECT swatch = PlaceOf(hwnd, Item(C::shpDemo0));
  HDC dc = GetDC(hwnd);
  EXPECT_EQ(GetPixel(dc, (swatch.left + swatch.right) / 2, (swatch.top + swatch.bottom) / 2), RGB(255, 0, 0));
  ReleaseDC(hwnd, dc);

  Notify(C::lblLink, STN_DBLCLK);
  EXPECT_TRUE(services.links.empty()) << "the link lies on the hidden Info panel";
  Click(C::cmdMore);
  Notify(C::lblLink, STN_DBLCLK);
  ASSERT_EQ(services.links.size(), 1u);
  EXPECT_EQ(services.links[0], s.AboutLinkTarget);
}

TEST_F(Win32OptionsTest, MoreOpensTheInfoPanelAndTheWindowWidensAndNarrows) {
  Open();
  const int narrow = ClientWidth();
  Click(C::cmdMore);
  EXPECT_EQ(ClientWidth(), TwipsToPixels(kClientWidthAtOpen + InfoOf(C::fraFrame2).rect.width + kInfoPanelMargin,
                                         QueryScreenDpi().x));
  EXPECT_TRUE(Shown(C::fraFrame2));
  EXPECT_TRUE(Shown(C::picSaver));
  EXPECT_TRUE(Shown(C::txtChangelog));
  EXPECT_EQ(Text(C::cmdMore), "<<<");
  ASSERT_NE(dialog->picSaver(), nullptr);
  Click(C::cmdMore);
  EXPECT_EQ(ClientWidth(), narrow);
  EXPECT_FALSE(Shown(C::picSaver));
  EXPECT_EQ(Text(C::cmdMore), ">>>");
}

TEST_F(Win32OptionsTest, PreviewTakesEveryKeyButTabAndEsc) {
  Open();
  dialog->Show();
  Click(C::cmdMore);
  HWND box = Item(C::picSaver);
  for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_LEFT}, WPARAM{VK_F7}, WPARAM{0x53}}) {
    MSG msg{box, WM_KEYDOWN, key, 0, 0, {}};
    EXPECT_EQ(SendMessageA(box, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg)), DLGC_WANTALLKEYS) << key;
  }
  for (WPARAM key : {WPARAM{VK_TAB}, WPARAM{VK_ESCAPE}}) {
    MSG msg{box, WM_KEYDOWN, key, 0, 0, {}};
    EXPECT_EQ(SendMessageA(box, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg)), 0) << key;
  }
  SendMessageA(box, WM_KEYDOWN, VK_F7, 0);
  EXPECT_TRUE(s.CommandKeyArmed);
  SendMessageA(box, WM_KEYDOWN, VK_F8, 0);
  EXPECT_TRUE(s.DebugMode);
  engine->timer_running = true;
  SendMessageA(box, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(engine->calls.back(), "Tick");
}

// A letter that two labels share moves the focus to one control, then the
// other, then back, as the dialog manager does for any repeated mnemonic.
TEST_F(Win32OptionsTest, AccessKeysMoveTheFocusAndSharedLettersCycle) {
  Open();
  dialog->Show();
  struct Case {
    char letter;
    std::vector<C> targets;
  };
  const Case cases[] = {
      {'i', {C::chkRecursive, C::cmbInterval, C::chkRecursive}},
      {'r', {C::chkRandom, C::cmbAspectRatio, C::chkRandom}},
      {'e', {C::lstExclude, C::chkResolution, C::lstExclude}},
      {'b', {C::cmbCheckSize, C::cmdColor1, C::cmbCheckSize}},
      {'p', {C::lstDirectory, C::lstDirectory}},
      {'g', {C::txtGrace}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.letter);
    dialog->Window()->FocusControl(C::cmbInterval);
    ASSERT_EQ(GetFocus(), Item(C::cmbInterval));
    for (C target : c.targets) {
      MSG msg{GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(c.letter), 0, 0, {}};
      EXPECT_TRUE(IsDialogMessageA(hwnd, &msg));
      EXPECT_EQ(GetFocus(), Item(target)) << AllControls()[IndexOf(target)].name;
    }
  }
}

TEST_F(Win32OptionsTest, LinkShowsAHandPointer) {
  Open();
  EXPECT_TRUE(SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(C::lblLink)),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
}

// Enter (the default button) commits, Esc (the cancel button) and the close
// box discard; each ends the program.
TEST_F(Win32OptionsTest, EnterCommitsEscAndTheCloseBoxDiscard) {
  struct Case {
    const char* what;
    UINT message;
    WPARAM key;
    size_t saves;
  };
  const Case cases[] = {
      {"Enter", WM_KEYDOWN, VK_RETURN, 1},
      {"Esc", WM_KEYDOWN, VK_ESCAPE, 0},
      {"close box", WM_CLOSE, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open();
    dialog->Show();
    if (c.message == WM_CLOSE) {
      EXPECT_THROW(SendMessageA(hwnd, WM_CLOSE, 0, 0), ProcessEnded);
    } else {
      MSG msg{Item(C::cmbInterval), c.message, c.key, 0, 0, {}};
      EXPECT_THROW(IsDialogMessageA(hwnd, &msg), ProcessEnded);
    }
    EXPECT_EQ(storage->saved.size(), c.saves);
  }
}

}  // namespace
