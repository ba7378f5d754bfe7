// GDK key values to Windows virtual-key codes.
// GoogleTest first: X11 defines None as a macro.
#include <gtest/gtest.h>

#include <gdk/gdk.h>
#include <gtk/gtk.h>

#include <tuple>

#include "sequence/show_keys.h"
#include "platform/keyboard_gtk.h"

namespace {

// 255 (no symbol) counts as activity only; 0xFE (an unknown symbol) ends the
// saver like any other key. A symbol without a code typed on a key of the
// current layout (`place`, looked up in the display's keymap: skipped without
// an X display) takes the code of that key.
TEST(GdkKeyEvents, KeysHaveTheirWindowsCodes) {
  const std::tuple<guint, int, guint> cases[] = {  // key value, code, place
      {GDK_KEY_Return, 13, 0}, {GDK_KEY_KP_Enter, 13, 0}, {GDK_KEY_Right, 39, 0}, {GDK_KEY_Down, 40, 0},
      {GDK_KEY_BackSpace, 8, 0}, {GDK_KEY_Left, 37, 0}, {GDK_KEY_KP_Left, 37, 0}, {GDK_KEY_Up, 38, 0},
      {GDK_KEY_s, 83, 0}, {GDK_KEY_S, 83, 0}, {GDK_KEY_F7, kOverlayArmKey, 0}, {GDK_KEY_F8, kOverlayToggleKey, 0},
      {GDK_KEY_Escape, 27, 0}, {GDK_KEY_ISO_Left_Tab, 9, 0}, {GDK_KEY_z, 'Z', 0}, {GDK_KEY_KP_9, 105, 0},
      {GDK_KEY_F24, 135, 0}, {GDK_KEY_semicolon, 0xBA, 0}, {0, 255, 0}, {GDK_KEY_VoidSymbol, 255, 0},
      {GDK_KEY_Cyrillic_yeru, 0xFE, 0}, {GDK_KEY_exclam, 0xFE, 0},
      {GDK_KEY_exclam, '1', GDK_KEY_1}, {GDK_KEY_question, 0xBF, GDK_KEY_slash},
      {GDK_KEY_Cyrillic_yeru, 83, GDK_KEY_s},  // the S key typing Cyrillic still switches off
      {GDK_KEY_KP_Left, 37, GDK_KEY_KP_4},     // a symbol with a code keeps it
  };
  const bool display = gtk_init_check(nullptr, nullptr);
  for (auto [keyval, vk, place] : cases) {
    if (!place) {
      EXPECT_EQ(VirtualKeyFromGdk(keyval), vk) << keyval;
      continue;
    }
    if (!display) continue;
    GdkEventKey event{};
    event.keyval = keyval;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()), place,
                                                  &keys, &count));
    event.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    event.group = static_cast<guint8>(keys[0].group);
    g_free(keys);
    EXPECT_EQ(VirtualKeyFromEvent(&event), vk) << keyval;
  }
  if (!display) GTEST_SKIP() << "no X display for the key places";
}

}  // namespace
