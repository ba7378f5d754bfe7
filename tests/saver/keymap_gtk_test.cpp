// GDK key values to Windows virtual-key codes. The look-up through the key's
// place needs the display's keymap (skipped without an X display).
// GoogleTest first: X11 defines None as a macro.
#include <gtest/gtest.h>

#include <gdk/gdk.h>
#include <gtk/gtk.h>

#include "saver/debug_keys.h"
#include "saver/keymap_gtk.h"

namespace {

TEST(GdkKeymap, KeysHaveTheirWindowsCodes) {
  struct Pair {
    guint keyval;
    int vk;
  };
  const Pair pairs[] = {
      {GDK_KEY_Return, 13},    {GDK_KEY_KP_Enter, 13},   {GDK_KEY_Right, 39},    {GDK_KEY_KP_Right, 39},
      {GDK_KEY_Down, 40},      {GDK_KEY_KP_Down, 40},    {GDK_KEY_BackSpace, 8}, {GDK_KEY_Left, 37},
      {GDK_KEY_KP_Left, 37},   {GDK_KEY_Up, 38},         {GDK_KEY_KP_Up, 38},    {GDK_KEY_s, 83},
      {GDK_KEY_S, 83},         {GDK_KEY_F7, kDebugArmKey}, {GDK_KEY_F8, kDebugToggleKey},
      // Keys that end the saver, with the codes Windows gives them.
      {GDK_KEY_Escape, 27},    {GDK_KEY_ISO_Left_Tab, 9}, {GDK_KEY_z, 'Z'},      {GDK_KEY_KP_9, 105},
      {GDK_KEY_KP_Home, 36},   {GDK_KEY_F24, 135},        {GDK_KEY_semicolon, 0xBA},
  };
  for (const Pair& p : pairs) EXPECT_EQ(VirtualKeyFromGdk(p.keyval), p.vk) << gdk_keyval_name(p.keyval);
}

// 255 counts as activity only; 0xFE ends the saver like any other key.
TEST(GdkKeymap, KeysWithoutASymbolAre255AndUnknownSymbolsAreAnotherKey) {
  EXPECT_EQ(VirtualKeyFromGdk(0), 255);
  EXPECT_EQ(VirtualKeyFromGdk(GDK_KEY_VoidSymbol), 255);
  EXPECT_EQ(VirtualKeyFromGdk(GDK_KEY_Cyrillic_yeru), 0xFE);
  EXPECT_EQ(VirtualKeyFromGdk(GDK_KEY_exclam), 0xFE);
}

class GdkKeyEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!gtk_init_check(nullptr, nullptr)) GTEST_SKIP() << "no X display";
  }
  // The event a key of the current layout gives, with another symbol.
  static GdkEventKey EventOnKeyOf(guint place, guint keyval) {
    GdkEventKey event{};
    event.type = GDK_KEY_PRESS;
    event.keyval = keyval;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()), place, &keys,
                                          &count) &&
        count > 0) {
      event.hardware_keycode = static_cast<guint16>(keys[0].keycode);
      event.group = static_cast<guint8>(keys[0].group);
    }
    g_free(keys);
    return event;
  }
};

TEST_F(GdkKeyEvents, ASymbolWithoutACodeTakesTheCodeOfItsKey) {
  GdkEventKey shifted_one = EventOnKeyOf(GDK_KEY_1, GDK_KEY_exclam);
  EXPECT_EQ(VirtualKeyFromEvent(&shifted_one), '1');
  GdkEventKey shifted_slash = EventOnKeyOf(GDK_KEY_slash, GDK_KEY_question);
  EXPECT_EQ(VirtualKeyFromEvent(&shifted_slash), 0xBF);
  // The S key typing a Cyrillic letter still switches the monitors off.
  GdkEventKey cyrillic = EventOnKeyOf(GDK_KEY_s, GDK_KEY_Cyrillic_yeru);
  EXPECT_EQ(VirtualKeyFromEvent(&cyrillic), 83);
}

TEST_F(GdkKeyEvents, ASymbolWithACodeKeepsIt) {
  GdkEventKey keypad = EventOnKeyOf(GDK_KEY_KP_4, GDK_KEY_KP_Left);
  EXPECT_EQ(VirtualKeyFromEvent(&keypad), 37);
  GdkEventKey none{};
  none.keyval = 0;
  EXPECT_EQ(VirtualKeyFromEvent(&none), 255);
}

}  // namespace
