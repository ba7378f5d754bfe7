// The GTK colour chooser, answered from inside its own modal loop, and the
// text and colour conversions of the GTK options dialog. The input box: the
// end-to-end options.sh types a folder into it.
#include "options/color_gtk.h"
#include "options/dialog_services.h"
#include "options/gtk_session.h"
#include "options/widget_text_gtk.h"

namespace {

TEST(GtkWidgetText, AccessKeysTextAndColoursInGtkTerms) {
  EXPECT_EQ(MnemonicFromAccessText("&Fish && chips_2"), "_Fish & chips__2");
  EXPECT_TRUE(g_utf8_validate(DisplayText("caf\xE9/").c_str(), -1, nullptr));  // GTK takes UTF-8 only
  EXPECT_EQ(ColorFromRgba(GdkRGBA{0.5, 0.2, 1.5, 0.3}), 0xFF3380);             // rounded, and kept within a byte
}

struct GtkDialogServicesTest : ::testing::Test {
  void SetUp() override { REQUIRE_GTK_DISPLAY(); }
  std::unique_ptr<DialogServices> services = CreatePlatformDialogServices();
};

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
