// The GTK dialog services, each answered from inside its own modal loop, and
// the text and colour conversions of the GTK options dialog.
#include "options/color_gtk.h"
#include "options/dialog_services.h"
#include "options/gtk_session.h"
#include "options/widget_text_gtk.h"

namespace {

TEST(GtkWidgetText, AccessKeysTextAndColoursInGtkTerms) {
  EXPECT_EQ(MnemonicFromAccessText("&Fish && chips_2"), "_Fish & chips__2");
  EXPECT_TRUE(g_utf8_validate(DisplayText("caf\xE9/").c_str(), -1, nullptr));  // GTK takes UTF-8 only
  EXPECT_EQ(ColorFromRgba(GdkRGBA{0.5, 0.2, 1.5, 0.3}), 0xFF3380);  // rounded, and kept within a byte
}

struct GtkDialogServicesTest : ::testing::Test {
  void SetUp() override { REQUIRE_GTK_DISPLAY(); }
  std::unique_ptr<DialogServices> services = CreatePlatformDialogServices();
};

TEST_F(GtkDialogServicesTest, InputBoxShowsThePromptLinesAndGivesTheTypedTextOrNothing) {
  for (int response : {GTK_RESPONSE_OK, GTK_RESPONSE_CANCEL}) {
    std::string shown;
    gtk_session::AnswerNextDialog([&](GtkDialog* dialog) {
      GtkWidget* area = gtk_dialog_get_content_area(dialog);
      GtkWidget* entry = gtk_session::FindWidget(area, GTK_TYPE_ENTRY);
      shown = std::string(gtk_label_get_text(GTK_LABEL(gtk_session::FindWidget(area, GTK_TYPE_LABEL)))) + "|" +
              gtk_window_get_title(GTK_WINDOW(dialog)) + "|" + gtk_entry_get_text(GTK_ENTRY(entry));
      gtk_entry_set_text(GTK_ENTRY(entry), " /home/user/Pictures ");
      gtk_dialog_response(dialog, response);
    });
    EXPECT_EQ(services->InputBox(0, "A folder.\rEXAMPLE:\r\t/media/PHOTOS", "Glimmora", "start"),
              response == GTK_RESPONSE_OK ? " /home/user/Pictures " : "");  // the caller trims
    EXPECT_EQ(shown, "A folder.\nEXAMPLE:\n\t/media/PHOTOS|Glimmora|start");
  }
}

TEST_F(GtkDialogServicesTest, ColourChooserStartsAtTheColourAndKeepsTheUsersOwn) {
  CustomColors custom{};
  for (std::int32_t pick : {0x123456, 0x0000FF, -1}) {  // a stock colour is not the user's own; -1 cancels
    GdkRGBA shown{};
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

}  // namespace
