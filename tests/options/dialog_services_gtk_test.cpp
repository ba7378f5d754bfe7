// The GTK dialog services and the text and colour conversions of the GTK
// options dialog.
#include <cmath>
#include <string>

#include "options/color_gtk.h"
#include "options/dialog_services.h"
#include "options/gtk_session.h"
#include "options/widget_text_gtk.h"

// After GoogleTest: the X headers define macros (None, Bool) that its own names use.
#include <gdk/gdkx.h>
#include <glib/gstdio.h>

namespace {

TEST(GtkWidgetText, AccessKeysAndLineBreaksInGtkTerms) {
  const struct {
    const char* in;
    const char* mnemonic;
    const char* lines;
  } cases[] = {
      {"&Interval:", "_Interval:", "&Interval:"},
      {"Fish && chips_2", "Fish & chips__2", "Fish && chips_2"},
      {"a\rb&", "a\rb", "a\nb&"},
      {"a\r\nb\n\rc", "a\r\nb\n\rc", "a\nb\n\nc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MnemonicFromAccessText(c.in), c.mnemonic) << c.in;
    EXPECT_EQ(LinesFromCarriageReturns(c.in), c.lines) << c.in;
  }
  // A folder name in another encoding still shows (GTK takes UTF-8 only).
  EXPECT_TRUE(g_utf8_validate(DisplayText("caf\xE9/").c_str(), -1, nullptr));
  EXPECT_EQ(PixelsFromTwips(4395, 144), 440);
}

TEST(GtkColor, WindowsColoursAndRgbaConvertBothWays) {
  const struct {
    std::int32_t color;
    double r, g, b;
  } cases[] = {
      {0x0000FF, 1, 0, 0}, {0x00FF00, 0, 1, 0}, {0xFF0000, 0, 0, 1},
      {0xFFFFFF, 1, 1, 1}, {0x000000, 0, 0, 0}, {0x336699, 0x99 / 255.0, 0x66 / 255.0, 0x33 / 255.0},
  };
  for (const auto& c : cases) {
    const GdkRGBA rgba = RgbaFromColor(c.color);
    EXPECT_DOUBLE_EQ(rgba.red, c.r) << std::hex << c.color;
    EXPECT_DOUBLE_EQ(rgba.green, c.g);
    EXPECT_DOUBLE_EQ(rgba.blue, c.b);
    EXPECT_DOUBLE_EQ(rgba.alpha, 1);
    EXPECT_EQ(ColorFromRgba(rgba), c.color);
  }
  EXPECT_EQ(ColorFromRgba(RgbaFromColor(0x7F00FF00)), 0x00FF00);  // the high byte is not a colour
  // Channels round to the nearest byte and stay within it.
  EXPECT_EQ(ColorFromRgba(GdkRGBA{0.5, 0.2, 0.9, 0.3}), 0xE63380);
  EXPECT_EQ(ColorFromRgba(GdkRGBA{1.5, -0.2, NAN, 1}), 0x0000FF);
}

TEST(GtkColor, ChosenColoursGoFirstInTheCustomTable) {
  CustomColors custom{};
  custom[0] = 0x111111;
  custom[15] = 0x999999;
  RememberCustomColor(custom, 0x123456);
  EXPECT_EQ(custom[0], 0x123456);
  EXPECT_EQ(custom[1], 0x111111);
  EXPECT_EQ(custom[15], 0);               // the last one dropped out
  RememberCustomColor(custom, 0x111111);  // already kept: nothing moves
  EXPECT_EQ(custom[0], 0x123456);
  EXPECT_EQ(custom[1], 0x111111);
}

class GtkDialogServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_GTK_DISPLAY();
    services = CreatePlatformDialogServices();
    owner = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_show(owner);
    gtk_session::Pump();
  }
  void TearDown() override {
    if (owner) gtk_widget_destroy(owner);
  }
  WindowHandle Owner() { return static_cast<WindowHandle>(gdk_x11_window_get_xid(gtk_widget_get_window(owner))); }

  std::unique_ptr<DialogServices> services;
  GtkWidget* owner = nullptr;
};

// The prompt's lines are separated by a lone CR; they must show as lines.
TEST_F(GtkDialogServicesTest, InputBoxShowsThePromptLinesAndGivesTheTypedText) {
  std::string prompt, title;
  GtkWindow* parent = nullptr;
  gtk_session::AnswerNextDialog([&](GtkDialog* dialog) {
    GtkWidget* area = gtk_dialog_get_content_area(dialog);
    prompt = gtk_label_get_text(GTK_LABEL(gtk_session::FindWidget(area, GTK_TYPE_LABEL)));
    title = gtk_window_get_title(GTK_WINDOW(dialog));
    parent = gtk_window_get_transient_for(GTK_WINDOW(dialog));
    GtkWidget* entry = gtk_session::FindWidget(area, GTK_TYPE_ENTRY);
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(entry)), "start");
    gtk_entry_set_text(GTK_ENTRY(entry), " /home/user/Pictures ");
    gtk_dialog_response(dialog, GTK_RESPONSE_OK);
  });
  EXPECT_EQ(services->InputBox(Owner(), "Manually specify a folder.\rEXAMPLE:\r\t/media/PHOTOS", "Glimmora", "start"),
            " /home/user/Pictures ");  // the caller trims
  EXPECT_EQ(prompt, "Manually specify a folder.\nEXAMPLE:\n\t/media/PHOTOS");
  EXPECT_EQ(title, "Glimmora");
  EXPECT_EQ(parent, GTK_WINDOW(owner));

  gtk_session::AnswerNextDialog([](GtkDialog* dialog) {
    GtkWidget* entry = gtk_session::FindWidget(gtk_dialog_get_content_area(dialog), GTK_TYPE_ENTRY);
    gtk_entry_set_text(GTK_ENTRY(entry), "/typed/then/cancelled");
    gtk_dialog_response(dialog, GTK_RESPONSE_CANCEL);
  });
  EXPECT_EQ(services->InputBox(0, "Prompt", "Title", ""), "");
}

TEST_F(GtkDialogServicesTest, ColourChooserStartsAtTheColourAndKeepsTheUsersOwn) {
  CustomColors custom{};
  GdkRGBA shown{};
  gtk_session::AnswerNextDialog([&](GtkDialog* dialog) {
    gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(dialog), &shown);
    const GdkRGBA pick = RgbaFromColor(0x123456);
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(dialog), &pick);
    gtk_dialog_response(dialog, GTK_RESPONSE_OK);
  });
  EXPECT_EQ(services->PickColor(Owner(), 0x336699, custom), 0x123456);
  EXPECT_EQ(ColorFromRgba(shown), 0x336699);
  EXPECT_EQ(custom[0], 0x123456);

  // A basic colour is not the user's own; a cancelled dialog changes nothing.
  gtk_session::AnswerNextDialog([](GtkDialog* dialog) {
    const GdkRGBA red = RgbaFromColor(0x0000FF);
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(dialog), &red);
    gtk_dialog_response(dialog, GTK_RESPONSE_OK);
  });
  EXPECT_EQ(services->PickColor(Owner(), 0, custom), 0x0000FF);
  gtk_session::AnswerNextDialog([](GtkDialog* dialog) { gtk_dialog_response(dialog, GTK_RESPONSE_CANCEL); });
  EXPECT_EQ(services->PickColor(Owner(), 0, custom), kColorCancelled);
  EXPECT_EQ(custom[0], 0x123456);
  EXPECT_EQ(custom[1], 0);
}

TEST_F(GtkDialogServicesTest, FolderChooserGivesTheChosenFolderOrNothing) {
  gchar* folder = g_dir_make_tmp("glimmora-browse-XXXXXX", nullptr);
  ASSERT_NE(folder, nullptr);
  std::string title;
  gtk_session::AnswerNextDialog([&](GtkDialog* dialog) {
    title = gtk_window_get_title(GTK_WINDOW(dialog));
    EXPECT_EQ(gtk_file_chooser_get_action(GTK_FILE_CHOOSER(dialog)), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER);
    gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(dialog), folder);
    gtk_session::Pump();
    gtk_dialog_response(dialog, GTK_RESPONSE_ACCEPT);
  });
  EXPECT_EQ(services->BrowseFolder(Owner(), "Please select your Images folder."), folder);
  EXPECT_EQ(title, "Please select your Images folder.");
  gtk_session::AnswerNextDialog([](GtkDialog* dialog) { gtk_dialog_response(dialog, GTK_RESPONSE_CANCEL); });
  EXPECT_EQ(services->BrowseFolder(Owner(), "Please select your Exclude folder."), "");
  g_rmdir(folder);
  g_free(folder);
}

TEST_F(GtkDialogServicesTest, LinkWithoutAHandlerIsNotOpened) {
  EXPECT_FALSE(services->OpenLink(""));
  EXPECT_FALSE(services->OpenLink("glimmora-no-such-scheme:nothing"));
}

}  // namespace
