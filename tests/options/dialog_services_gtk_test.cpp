// The text and colour conversions of the GTK options dialog. (Its input box:
// the end-to-end options.sh types a folder into it.)
#include <gtest/gtest.h>

#include "options/color_gtk.h"
#include "options/widget_text_gtk.h"

namespace {

TEST(GtkWidgetText, AccessKeysTextAndColoursInGtkTerms) {
  EXPECT_EQ(MnemonicFromAccessText("&Fish && chips_2"), "_Fish & chips__2");
  EXPECT_TRUE(g_utf8_validate(DisplayText("caf\xE9/").c_str(), -1, nullptr));  // GTK takes UTF-8 only
  EXPECT_EQ(ColorFromRgba(GdkRGBA{0.5, 0.2, 1.5, 0.3}), 0xFF3380);             // rounded, and kept within a byte
}

}  // namespace
