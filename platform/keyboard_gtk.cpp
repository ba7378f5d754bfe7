#include "platform/keyboard_gtk.h"

namespace {

struct KeyPair {
  guint keyval;
  int vk;
};

// Keys whose code is not simply their letter or digit. Punctuation appears
// unshifted, at its US place; shifted symbols are found through their key.
constexpr KeyPair kKeys[] = {
    // Editing and control keys.
    {GDK_KEY_Break, 3},
    {GDK_KEY_BackSpace, 8},
    {GDK_KEY_Tab, 9},
    {GDK_KEY_ISO_Left_Tab, 9},
    {GDK_KEY_Clear, 12},
    {GDK_KEY_Return, 13},
    {GDK_KEY_Shift_L, 16},
    {GDK_KEY_Shift_R, 16},
    {GDK_KEY_Control_L, 17},
    {GDK_KEY_Control_R, 17},
    {GDK_KEY_Alt_L, 18},
    {GDK_KEY_Alt_R, 18},
    {GDK_KEY_Meta_L, 18},
    {GDK_KEY_Meta_R, 18},
    {GDK_KEY_ISO_Level3_Shift, 18},
    {GDK_KEY_Pause, 19},
    {GDK_KEY_Caps_Lock, 20},
    {GDK_KEY_Escape, 27},
    {GDK_KEY_space, 32},
    {GDK_KEY_Page_Up, 33},
    {GDK_KEY_Page_Down, 34},
    {GDK_KEY_End, 35},
    {GDK_KEY_Home, 36},
    {GDK_KEY_Left, 37},
    {GDK_KEY_Up, 38},
    {GDK_KEY_Right, 39},
    {GDK_KEY_Down, 40},
    {GDK_KEY_Select, 41},
    {GDK_KEY_Execute, 43},
    {GDK_KEY_Print, 44},
    {GDK_KEY_Sys_Req, 44},
    {GDK_KEY_Insert, 45},
    {GDK_KEY_Delete, 46},
    {GDK_KEY_Help, 47},
    {GDK_KEY_Super_L, 91},
    {GDK_KEY_Super_R, 92},
    {GDK_KEY_Menu, 93},
    {GDK_KEY_Sleep, 95},
    {GDK_KEY_Num_Lock, 144},
    {GDK_KEY_Scroll_Lock, 145},
    // The keypad, NumLock off (it then moves like the arrow block) and on.
    {GDK_KEY_KP_Enter, 13},
    {GDK_KEY_KP_Begin, 12},
    {GDK_KEY_KP_Page_Up, 33},
    {GDK_KEY_KP_Page_Down, 34},
    {GDK_KEY_KP_End, 35},
    {GDK_KEY_KP_Home, 36},
    {GDK_KEY_KP_Left, 37},
    {GDK_KEY_KP_Up, 38},
    {GDK_KEY_KP_Right, 39},
    {GDK_KEY_KP_Down, 40},
    {GDK_KEY_KP_Insert, 45},
    {GDK_KEY_KP_Delete, 46},
    {GDK_KEY_KP_Multiply, 106},
    {GDK_KEY_KP_Add, 107},
    {GDK_KEY_KP_Separator, 108},
    {GDK_KEY_KP_Subtract, 109},
    {GDK_KEY_KP_Decimal, 110},
    {GDK_KEY_KP_Divide, 111},
    // Browser and media keys.
    {GDK_KEY_Back, 0xA6},
    {GDK_KEY_Forward, 0xA7},
    {GDK_KEY_Refresh, 0xA8},
    {GDK_KEY_Stop, 0xA9},
    {GDK_KEY_Search, 0xAA},
    {GDK_KEY_Favorites, 0xAB},
    {GDK_KEY_HomePage, 0xAC},
    {GDK_KEY_AudioMute, 0xAD},
    {GDK_KEY_AudioLowerVolume, 0xAE},
    {GDK_KEY_AudioRaiseVolume, 0xAF},
    {GDK_KEY_AudioNext, 0xB0},
    {GDK_KEY_AudioPrev, 0xB1},
    {GDK_KEY_AudioStop, 0xB2},
    {GDK_KEY_AudioPlay, 0xB3},
    {GDK_KEY_AudioPause, 0xB3},
    {GDK_KEY_Mail, 0xB4},
    // Punctuation (VK_OEM_...).
    {GDK_KEY_semicolon, 0xBA},
    {GDK_KEY_equal, 0xBB},
    {GDK_KEY_comma, 0xBC},
    {GDK_KEY_minus, 0xBD},
    {GDK_KEY_period, 0xBE},
    {GDK_KEY_slash, 0xBF},
    {GDK_KEY_grave, 0xC0},
    {GDK_KEY_bracketleft, 0xDB},
    {GDK_KEY_backslash, 0xDC},
    {GDK_KEY_bracketright, 0xDD},
    {GDK_KEY_apostrophe, 0xDE},
};

// A key that has a symbol but no code of its own still has to end the saver:
// VK_OEM_CLEAR, which no handler treats specially.
constexpr int kOtherKey = 0xFE;
// A key without any symbol: Windows' code for keys it cannot name.
constexpr int kNoSymbolKey = 0xFF;

// A symbol of the key at keycode, with a code of its own: the event's layout
// at the base level first, then the base level of any layout, then any.
int VirtualKeyOfKeycode(guint keycode, int group) {
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
  GdkKeymapKey* keys = nullptr;
  guint* keyvals = nullptr;
  gint count = 0;
  if (!keymap || !gdk_keymap_get_entries_for_keycode(keymap, keycode, &keys, &keyvals, &count)) return kOtherKey;
  int found = kOtherKey;
  for (int pass = 0; pass < 3 && found == kOtherKey; ++pass) {
    for (gint i = 0; i < count && found == kOtherKey; ++i) {
      bool base = keys[i].level == 0;
      if (pass == 0 && !(base && keys[i].group == group)) continue;
      if (pass == 1 && !base) continue;
      int vk = VirtualKeyFromGdk(keyvals[i]);
      if (vk != kNoSymbolKey) found = vk;
    }
  }
  g_free(keys);
  g_free(keyvals);
  return found;
}

}  // namespace

int VirtualKeyFromGdk(guint keyval) {
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return static_cast<int>('A' + (keyval - GDK_KEY_a));
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return static_cast<int>('A' + (keyval - GDK_KEY_A));
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return static_cast<int>('0' + (keyval - GDK_KEY_0));
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return static_cast<int>(96 + (keyval - GDK_KEY_KP_0));
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return static_cast<int>(112 + (keyval - GDK_KEY_F1));
  if (keyval == 0 || keyval == GDK_KEY_VoidSymbol) return kNoSymbolKey;
  for (const KeyPair& pair : kKeys)
    if (pair.keyval == keyval) return pair.vk;
  return kOtherKey;
}

int VirtualKeyFromEvent(const GdkEventKey* event) {
  int vk = VirtualKeyFromGdk(event->keyval);
  if (vk != kOtherKey) return vk;
  return VirtualKeyOfKeycode(event->hardware_keycode, event->group);
}

int ShiftStateFromGdk(guint state) {
  int shift = 0;
  if (state & GDK_SHIFT_MASK) shift |= 1;
  if (state & GDK_CONTROL_MASK) shift |= 2;
  if (state & GDK_MOD1_MASK) shift |= 4;
  return shift;
}
