// The GTK dialog services, each answered from inside its own modal loop, and
// the text and colour conversions of the GTK options dialog.
#include <cmath>
#include <string>

#include "options/color_gtk.h"
#include "options/dialog_services.h"
#include "options/gtk_session.h"
#include "options/widget_text_gtk.h"

namespace {

TEST(GtkWidgetText, AccessKeysAndLineBreaksInGtkTerms) {
  const struct {
    const char *in, *mnemonic, *lines;
  } cases[] = {
      {"&Interval:", "_Interval:", "&Interval:"},
      {"Fish && chips_2", "Fish & chips__2", "Fish && chips_2"},
      {"a\r\nb\n\rc", "a\r\nb\n\rc", "a\nb\n\nc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MnemonicFromAccessText(c.in), c.mnemonic) << c.in;
    EXPECT_EQ(LinesFromCarriageReturns(c.in), c.lines) << c.in;
  }
  EXPECT_TRUE(g_utf8_validate(DisplayText("caf\xE9/").c_str(), -1, nullptr));  // GTK takes UTF-8 only
}

TEST(GtkColor, WindowsColoursAndRgbaConvertAndCustomColoursComeFirst) {
  const GdkRGBA rgba = RgbaFromColor(0x7F336699);  // 0x00BBGGRR; the high byte is not a colour
  EXPECT_EQ(std::vector<double>({rgba.red, rgba.green, rgba.blue, rgba.alpha}),
            std::vector<double>({0x99 / 255.0, 0x66 / 255.0, 0x33 / 255.0, 1}));
  EXPECT_EQ(ColorFromRgba(rgba), 0x336699);
  EXPECT_EQ(ColorFromRgba(GdkRGBA{1.5, -0.2, NAN, 1}), 0x0000FF);  // each channel stays within its byte
  EXPECT_EQ(ColorFromRgba(GdkRGBA{0.5, 0.2, 0.9, 0.3}), 0xE63380);  // rounded to the nearest
  CustomColors custom{0x111111};
  custom[15] = 0x999999;
  RememberCustomColor(custom, 0x123456);
  RememberCustomColor(custom, 0x111111);  // already kept: nothing moves
  EXPECT_EQ(std::vector<std::int32_t>(custom.begin(), custom.begin() + 2), (std::vector<std::int32_t>{0x123456, 0x111111}));
  EXPECT_EQ(custom[15], 0);  // the last one dropped out
}

class GtkDialogServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { REQUIRE_GTK_DISPLAY(); }
  std::unique_ptr<DialogServices> services = CreatePlatformDialogServices();
};

// The prompt's lines are separated by a lone CR; they must show as lines.
TEST_F(GtkDialogServicesTest, InputBoxShowsThePromptLinesAndGivesTheTypedTextOrNothing) {
  std::string prompt, title;
  for (int response : {GTK_RESPONSE_OK, GTK_RESPONSE_CANCEL}) {
    gtk_session::AnswerNextDialog([&](GtkDialog* dialog) {
      GtkWidget* area = gtk_dialog_get_content_area(dialog);
      prompt = gtk_label_get_text(GTK_LABEL(gtk_session::FindWidget(area, GTK_TYPE_LABEL)));
      title = gtk_window_get_title(GTK_WINDOW(dialog));
      GtkWidget* entry = gtk_session::FindWidget(area, GTK_TYPE_ENTRY);
      EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(entry)), "start");
      gtk_entry_set_text(GTK_ENTRY(entry), " /home/user/Pictures ");
      gtk_dialog_response(dialog, response);
    });
    EXPECT_EQ(services->InputBox(0, "Manually specify a folder.\rEXAMPLE:\r\t/media/PHOTOS", "Glimmora", "start"),
              response == GTK_RESPONSE_OK ? " /home/user/Pictures " : "");  // the caller trims
    EXPECT_EQ(prompt, "Manually specify a folder.\nEXAMPLE:\n\t/media/PHOTOS");
    EXPECT_EQ(title, "Glimmora");
  }
}

TEST_F(GtkDialogServicesTest, ColourChooserStartsAtTheColourAndKeepsTheUsersOwn) {
  CustomColors custom{};
  GdkRGBA shown{};
  for (std::int32_t pick : {0x123456, 0x0000FF, -1}) {  // a basic colour is not the user's own; -1 cancels
    gtk_session::AnswerNextDialog([&](GtkDialog* dialog) {
      gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(dialog), &shown);
      const GdkRGBA rgba = RgbaFromColor(pick);
      gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(dialog), &rgba);
      gtk_dialog_response(dialog, pick < 0 ? GTK_RESPONSE_CANCEL : GTK_RESPONSE_OK);
    });
    EXPECT_EQ(services->PickColor(0, 0x336699, custom), pick < 0 ? kColorCancelled : pick);
    EXPECT_EQ(ColorFromRgba(shown), 0x336699);
  }
  EXPECT_EQ(custom[0], 0x123456);
  EXPECT_EQ(custom[1], 0);
}

TEST_F(GtkDialogServicesTest, FolderChooserGivesTheChosenFolderAndLinksNeedAHandler) {
  gtk_session::AnswerNextDialog([&](GtkDialog* dialog) {
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog)), "Please select your Images folder.");
    gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(dialog), "/tmp");
    gtk_session::Pump();
    gtk_dialog_response(dialog, GTK_RESPONSE_ACCEPT);
  });
  EXPECT_EQ(services->BrowseFolder(0, "Please select your Images folder."), "/tmp");
  EXPECT_FALSE(services->OpenLink("glimmora-no-such-scheme:nothing"));
}

}  // namespace
